// The four help files beside the built zav: each a compiled help file that opens
// on its language's manual, with every page its contents, index and pictures name.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class HelpFilesTest : public QObject
{
    Q_OBJECT

    // Every file a page or list names, without its anchor; the names are ASCII.
    static QSet<QString> namedFiles(const QByteArray &text, const QString &pattern)
    {
        QSet<QString> names;
        const QRegularExpression re(pattern, QRegularExpression::CaseInsensitiveOption);
        for (const QRegularExpressionMatch &m : re.globalMatch(QString::fromLatin1(text))) {
            const QString name = m.captured(1).section(QLatin1Char('#'), 0, 0);
            if (!name.isEmpty() && !name.contains(QLatin1Char(':')))
                names.insert(name);
        }
        return names;
    }

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
#if !ZAV_HELP_BUILT
        QSKIP("configured with ZAV_HELP=OFF");
#endif
        if (QStandardPaths::findExecutable(QStringLiteral("extract_chmLib")).isEmpty())
            QFAIL("extract_chmLib missing: install libchm-bin (scripts/install-deps.sh --test)");
    }

    void helpFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("title");
        QTest::newRow("English") << "helpZAV.chm"
                                 << "en"
                                 << "technician's manual";
        QTest::newRow("Spanish") << "ayudaZAV.chm"
                                 << "es" << QString::fromUtf8("manual del técnico");
        QTest::newRow("Spanish, traditional sort") << "ayudajq.chm"
                                                   << "es" << QString::fromUtf8("manual del técnico");
        QTest::newRow("French") << "AideZAV.chm"
                                << "fr" << QString::fromUtf8("manuel du technicien");
    }

    void helpFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, lang);
        QFETCH(QString, title);
        const QString path = QStringLiteral(ZAV_BUILD_ROOT "/") + name;
        QVERIFY2(QFile::exists(QStringLiteral(ZAV_BUILD_ROOT "/zav")), "zav not built");
        QVERIFY2(QFile::exists(path), qPrintable(path + QStringLiteral(" missing beside zav")));
        QVERIFY2(readAll(path).startsWith("ITSF"), "not a compiled help file");

        QTemporaryDir out;
        QProcess extract;
        extract.start(QStringLiteral("extract_chmLib"), {path, out.path()});
        QVERIFY(extract.waitForFinished(30000));
        QCOMPARE(extract.exitCode(), 0);
        const QDir dir(out.path());

        // The viewer opens on index.html, in the file's language.
        const QString start = QString::fromUtf8(readAll(dir.filePath(QStringLiteral("index.html"))));
        QVERIFY2(start.contains(title), qPrintable(name + QStringLiteral(": no ") + title));

        // Contents and index lead only to pages that are in the file.
        const QSet<QString> contents = namedFiles(readAll(dir.filePath(QStringLiteral("toc.hhc"))),
                                                  QStringLiteral("name=\"Local\" value=\"([^\"]+)\""));
        const QSet<QString> index = namedFiles(readAll(dir.filePath(QStringLiteral("index.hhk"))),
                                               QStringLiteral("name=\"Local\" value=\"([^\"]+)\""));
        QVERIFY2(contents.size() >= 5, "fewer than five pages in the contents");
        QVERIFY2(index.size() >= 5, "index too small");
        for (const QString &page : contents + index)
            QVERIFY2(dir.exists(page),
                     qPrintable(name + QStringLiteral(": ") + page + QStringLiteral(" missing")));

        // The index the viewer shows is the compiled one: every keyword once, in full,
        // its accents intact (the compiler reads index.hhk as UTF-8).
        const QByteArray tree = readAll(dir.filePath(QStringLiteral("$WWKeywordLinks/BTree")));
        const QRegularExpression keyword(QStringLiteral("name=\"Name\" value=\"([^\"]+)\""));
        const QString hhk = QString::fromUtf8(readAll(dir.filePath(QStringLiteral("index.hhk"))));
        int keywords = 0;
        for (const QRegularExpressionMatch &m : keyword.globalMatch(hhk)) {
            const QString word = m.captured(1);
            const QByteArray utf16(reinterpret_cast<const char *>(word.utf16()), word.size() * 2);
            QVERIFY2(tree.count(utf16 + QByteArray(2, '\0')) == 1,
                     qPrintable(name + QStringLiteral(": index entry ") + word));
            ++keywords;
        }
        QVERIFY(keywords >= 5);

        // Every page is in the file's language; its links and pictures are in the file.
        const QStringList pages = dir.entryList({QStringLiteral("*.html")});
        QVERIFY(pages.size() >= 5);
        for (const QString &page : pages) {
            const QByteArray html = readAll(dir.filePath(page));
            QVERIFY2(html.contains("<html lang=\"" + lang.toLatin1() + "\">"),
                     qPrintable(name + QStringLiteral(": ") + page + QStringLiteral(" not in ") + lang));
            const QSet<QString> targets = namedFiles(html, QStringLiteral("(?:href|src)=\"([^\"]+)\""));
            for (const QString &target : targets)
                QVERIFY2(dir.exists(target),
                         qPrintable(name + QStringLiteral(": ") + page + QStringLiteral(" names ") + target));
        }
    }

    void traditionalSpanishIsTheSpanishText()
    {
        const QByteArray modern = readAll(QStringLiteral(ZAV_BUILD_ROOT "/ayudaZAV.chm"));
        QVERIFY(!modern.isEmpty());
        QCOMPARE(readAll(QStringLiteral(ZAV_BUILD_ROOT "/ayudajq.chm")), modern);
    }
};

QTEST_GUILESS_MAIN(HelpFilesTest)
#include "helpfiles_test.moc"
