#include "desktop/helplauncher.h"
#include "text/stringtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class HelpTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_viewer;
    QString m_record;

private slots:
    void initTestCase()
    {
        // A folder whose name a shell would split or expand.
        const QString folder = m_tmp.filePath(QStringLiteral("help viewer $(x) & co"));
        QVERIFY(QDir().mkpath(folder));
        m_viewer = folder + QStringLiteral("/fake viewer.sh");
        m_record = folder + QStringLiteral("/argv.txt");
        QFile script(m_viewer);
        QVERIFY(script.open(QIODevice::WriteOnly));
        // Writes one line per argument, then the count, through a temporary so the
        // test never reads a half-written record.
        script.write("#!/bin/sh\n"
                     "out=\"$(dirname \"$0\")/argv.txt\"\n"
                     "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.tmp\"\n"
                     "echo \"count=$#\" >> \"$out.tmp\"\n"
                     "mv \"$out.tmp\" \"$out\"\n");
        script.close();
        QVERIFY(
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

    void pathReachesViewerAsOneArgument()
    {
        qputenv("ZAV_HELP_VIEWER", m_viewer.toLocal8Bit());
        const QString helpFile = m_tmp.filePath(QStringLiteral("my docs; rm -rf x/$HOME/helpZAV.chm"));
        QString error;
        QVERIFY2(startHelpViewer(helpFile, &error), qPrintable(error));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_record), 5000);
        QFile record(m_record);
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(record.readAll()), helpFile + QStringLiteral("\ncount=1\n"));
        QFile::remove(m_record);
    }

    void noViewerIsReported()
    {
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("ZAV_HELP_VIEWER", "/nonexistent/viewer");
        qputenv("PATH", m_tmp.path().toLocal8Bit());
        QString error;
        const bool started = startHelpViewer(QStringLiteral("/tmp/helpZAV.chm"), &error);
        qputenv("PATH", savedPath);
        QVERIFY(!started);
        QVERIFY2(error.startsWith(QLatin1String("Cannot start the help viewer: ")), qPrintable(error));
    }

    void helpFileBesideExecutable()
    {
        const QString path = helpFilePath();
        QCOMPARE(QFileInfo(path).absolutePath(), QCoreApplication::applicationDirPath());
        QCOMPARE(QFileInfo(path).fileName(), LoadText(2000));
    }
};

QTEST_GUILESS_MAIN(HelpTest)
#include "help_test.moc"
