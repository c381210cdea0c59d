// What the Debian package is made of: the install tree cpack packs, checked in a
// temporary prefix, and the dependencies it declares. scripts/check-package.sh
// builds the real .deb and looks inside it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class PackageTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_root; // the prefix, standing for /usr

    QString installed(const QString &relative) const { return m_root + QLatin1Char('/') + relative; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        m_root = m_tmp.filePath(QStringLiteral("usr"));
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(ZAV_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(ZAV_BUILD_ROOT),
                       QStringLiteral("--prefix"), m_root});
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    }

    void files_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("executable");
        QTest::newRow("zav") << "lib/zav/zav" << true;
        QTest::newRow("zavctl") << "lib/zav/zavctl" << true;
        QTest::newRow("zav-sim") << "bin/zav-sim" << true;
        QTest::newRow("zav on the PATH") << "bin/zav" << true;
        QTest::newRow("zavctl on the PATH") << "bin/zavctl" << true;
        for (const char *profile : {"full", "cx2", "led", "empty"})
            QTest::newRow(profile)
                << QStringLiteral("share/zav-sim/profiles/%1.txt").arg(QLatin1String(profile)) << false;
        QTest::newRow("desktop entry") << "share/applications/zav.desktop" << false;
        QTest::newRow("icon, drawn") << "share/icons/hicolor/scalable/apps/zav.svg" << false;
        QTest::newRow("icon, 48 px") << "share/icons/hicolor/48x48/apps/zav.png" << false;
        for (const char *page : {"zav", "zavctl", "zav-sim"})
            QTest::newRow(page) << QStringLiteral("share/man/man1/%1.1.gz").arg(QLatin1String(page)) << false;
    }

    void files()
    {
        QFETCH(QString, path);
        QFETCH(bool, executable);
        const QFileInfo info(installed(path));
        QVERIFY2(info.exists(), qPrintable(path + QStringLiteral(" not installed")));
        QCOMPARE(info.isExecutable(), executable);
        QVERIFY(info.size() > 0);
    }

    // Help and zav.ini are looked for beside the running executable, whose path Qt
    // gives with the links resolved: the help files must lie beside the real zav.
    void helpBesideTheRealExecutable_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"helpZAV.chm", "ayudaZAV.chm", "ayudajq.chm", "AideZAV.chm"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void helpBesideTheRealExecutable()
    {
#if !ZAV_HELP_BUILT
        QSKIP("configured with ZAV_HELP=OFF");
#endif
        QFETCH(QString, name);
        const QString real = QFileInfo(installed(QStringLiteral("bin/zav"))).canonicalFilePath();
        QCOMPARE(real, QFileInfo(installed(QStringLiteral("lib/zav/zav"))).canonicalFilePath());
        const QFileInfo help(QFileInfo(real).absolutePath() + QLatin1Char('/') + name);
        QVERIFY2(help.exists(), qPrintable(name + QStringLiteral(" not beside ") + real));
        QVERIFY(help.isSymLink() && !help.symLinkTarget().isEmpty());
        QVERIFY2(QFile(help.absoluteFilePath()).open(QIODevice::ReadOnly), "link does not lead to the file");
    }

    void simulatorFindsItsProfiles()
    {
        // zav-sim looks in ../share/zav-sim/profiles beside its real path.
        const QFileInfo sim(QFileInfo(installed(QStringLiteral("bin/zav-sim"))).canonicalFilePath());
        QVERIFY(QFile::exists(sim.absolutePath() + QStringLiteral("/../share/zav-sim/profiles/full.txt")));
    }

    void desktopEntryStartsTheTool()
    {
        QFile entry(installed(QStringLiteral("share/applications/zav.desktop")));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QByteArray text = entry.readAll();
        QVERIFY(text.contains("\nExec=zav\n"));
        QVERIFY(text.contains("\nIcon=zav\n"));
        QVERIFY(text.contains("\nType=Application\n"));
    }

    void declaredDependencies()
    {
        QFile config(QStringLiteral(ZAV_BUILD_ROOT "/CPackConfig.cmake"));
        QVERIFY(config.open(QIODevice::ReadOnly));
        const QByteArray text = config.readAll();
        // The Qt libraries come from the binaries themselves; the viewer and font are named.
        QVERIFY(text.contains("set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS \"ON\")"));
        QVERIFY(text.contains("set(CPACK_DEBIAN_PACKAGE_RECOMMENDS \"xchm\")"));
        // The window's face, which no library dependency brings along.
        QVERIFY(text.contains("set(CPACK_DEBIAN_PACKAGE_DEPENDS \"fonts-crosextra-carlito\")"));
        QVERIFY(text.contains("set(CPACK_PACKAGING_INSTALL_PREFIX \"/usr\")"));
        QVERIFY(text.contains("set(CPACK_GENERATOR \"DEB\")"));
    }
};

QTEST_GUILESS_MAIN(PackageTest)
#include "package_test.moc"
