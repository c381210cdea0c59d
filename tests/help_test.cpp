#include "desktop/helplauncher.h"
#include "text/stringtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const char kRecordVariable[] = "ZAV_TEST_VIEWER_RECORD";
} // namespace

class HelpTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_viewer;
    QString m_record;

private slots:
    void initTestCase()
    {
        // A copy of this program stands in for the viewer (main() below) in a folder
        // whose name a shell would split or expand.
        const QString folder = m_tmp.filePath(QStringLiteral("help viewer $(x) & co"));
        QVERIFY(QDir().mkpath(folder));
        const QFileInfo self(QCoreApplication::applicationFilePath());
        m_viewer = folder + QStringLiteral("/fake viewer");
        if (!self.suffix().isEmpty())
            m_viewer += QLatin1Char('.') + self.suffix();
        QVERIFY(QFile::copy(self.filePath(), m_viewer));
        m_record = m_tmp.filePath(QStringLiteral("argv.txt"));
        qputenv(kRecordVariable, m_record.toLocal8Bit());
    }

    void pathReachesViewerAsOneArgument()
    {
        qputenv("ZAV_HELP_VIEWER", m_viewer.toLocal8Bit());
        // A path a shell would split or expand.
        const QString helpFile = m_tmp.filePath(QStringLiteral("my docs; rm -rf x & $(y)/$HOME/helpZAV.chm"));
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

// Started with kRecordVariable set, the program is the stand-in viewer: it writes
// one line per argument, then the count, through a temporary so the test never
// reads a half-written record.
int main(int argc, char *argv[])
{
    const QString record = qEnvironmentVariable(kRecordVariable);
    if (!record.isEmpty()) {
        QCoreApplication app(argc, argv);
        QFile out(record + QStringLiteral(".tmp"));
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        const QStringList args = app.arguments().mid(1);
        for (const QString &arg : args)
            out.write(arg.toLocal8Bit() + '\n');
        out.write("count=" + QByteArray::number(args.size()) + '\n');
        out.close();
        return QFile::rename(out.fileName(), record) ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    HelpTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "help_test.moc"
