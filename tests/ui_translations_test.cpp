// The window speaks one language: in Spanish and in French no text of the
// program's own is still the English one. The string table picks its language
// once per process, so each language runs in a child process of this test with
// its own LANG and installs the translations as the program does. The child shows
// every field of a fully equipped controller and walks every visible widget of
// every page, the progress bar, the traffic view's context menu, the adapter
// dialog and the message boxes of a failed help start and a failed file open,
// printing each text under a key that names its widget. The English child is the
// reference: a Spanish or French text that reads as the English one at the same
// key is an offender, unless it has no letters, is one of the description's own
// texts (its string table in that language, its layout table's fixed captions and
// design texts, its list entries), or a translation kept the same on purpose in
// our catalogue or in Qt's. A text built from several of our messages must not
// hold the English words of any one of them either.

#include "desktop/startupsettings.h"
#include "device/parameterlists.h"
#include "text/stringtable.h"
#include "ui/layouttable.h"
#include "ui/mainwindow.h"
#include "ui/translations.h"
#include "ui/widgetfields.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

namespace {

const char *const kChildSwitch = "--walk-window";

// Every text a widget shows, by a key that is the same in every language.
class TextWalk
{
public:
    std::map<QString, QString> texts;

    void walk(QWidget *root, const QString &key)
    {
        if (!root->isVisible())
            return;
        widgetTexts(root, key);
        QHash<QString, int> seen;
        for (QObject *child : root->children()) {
            auto *w = qobject_cast<QWidget *>(child);
            if (!w || w->isWindow())
                continue;
            QString name = w->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) {
                const QString base =
                    (name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name);
                name = QStringLiteral("%1#%2").arg(base).arg(seen[base]++);
            }
            walk(w, key + QLatin1Char('/') + name);
        }
    }

    void menu(QMenu *menu, const QString &key)
    {
        int i = 0;
        for (QAction *action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            const QString at = QStringLiteral("%1/action#%2").arg(key).arg(i++);
            add(at, QStringLiteral("text"), action->text());
            if (action->menu())
                this->menu(action->menu(), at);
        }
    }

private:
    void add(const QString &key, const QString &what, const QString &text)
    {
        if (!text.isEmpty())
            texts[key + QLatin1Char(':') + what] = text;
    }

    void widgetTexts(QWidget *w, const QString &key)
    {
        if (auto *label = qobject_cast<QLabel *>(w))
            add(key, QStringLiteral("text"), label->text());
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            add(key, QStringLiteral("text"), button->text());
        if (auto *group = qobject_cast<QGroupBox *>(w))
            add(key, QStringLiteral("title"), group->title());
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            add(key, QStringLiteral("text"), edit->text());
            add(key, QStringLiteral("placeholder"), edit->placeholderText());
        }
        if (auto *combo = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                add(key, QStringLiteral("item%1").arg(i), combo->itemText(i));
            add(key, QStringLiteral("placeholder"), combo->placeholderText());
        }
        if (auto *tabs = qobject_cast<QTabBar *>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                add(key, QStringLiteral("tab%1").arg(i), tabs->tabText(i));
                add(key, QStringLiteral("tabTip%1").arg(i), tabs->tabToolTip(i));
            }
        }
        if (auto *tree = qobject_cast<QTreeWidget *>(w)) {
            for (int c = 0; c < tree->columnCount(); ++c)
                add(key, QStringLiteral("header%1").arg(c), tree->headerItem()->text(c));
        }
        if (auto *bar = qobject_cast<QProgressBar *>(w))
            add(key, QStringLiteral("text"), bar->text());
        // The traffic record keeps its own terms, as --trace writes it; only its frame is ours.
        if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
            add(key, QStringLiteral("placeholder"), memo->placeholderText());
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            add(key, QStringLiteral("message"), box->text());
            add(key, QStringLiteral("informative"), box->informativeText());
        }
        add(key, QStringLiteral("toolTip"), w->toolTip());
        add(key, QStringLiteral("statusTip"), w->statusTip());
        add(key, QStringLiteral("whatsThis"), w->whatsThis());
        if (w->isWindow())
            add(key, QStringLiteral("title"), w->windowTitle());
    }
};

// Runs `then` on the first visible top-level widget of type T once it is up
// (inside the modal loop that shows it); checks again every 10 ms for 10 s.
template <typename T> void whenShown(std::function<void(T *)> then, int triesLeft = 1000)
{
    QTimer::singleShot(triesLeft == 1000 ? 0 : 10, [then, triesLeft] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *found = qobject_cast<T *>(w); found && found->isVisible()) {
                then(found);
                return;
            }
        }
        if (triesLeft > 0)
            whenShown<T>(then, triesLeft - 1);
    });
}

// The description's own texts in this run's language, and those that Qt's own
// catalogue translates to themselves: they may read as in English.
QStringList allowedTexts(const TextWalk &walk)
{
    QStringList allowed;
    const LanguageVersion version = runLanguageVersion();
    for (int id = 1000; id <= 2100; ++id) {
        if (hasText(id))
            allowed << LoadText(id, version);
    }
    for (const LayoutItem &item : mainLayout()) {
        for (const char *text : {item.caption, item.designText, item.name}) {
            if (text)
                allowed << QString::fromUtf8(text);
        }
    }
    for (const ParameterList &list : parameterLists())
        allowed << listEntries(list);
    // The lists, the caption and the status line that Form_Load fills from the description.
    for (int n = 1; n <= 9; ++n)
        allowed << QStringLiteral("Com%1:").arg(n);
    allowed << QStringLiteral("English") << QString::fromUtf8("Español") << QStringLiteral("Estado")
            << QStringLiteral("ZAV %1.%2.%3  ")
                   .arg(ZAV_VERSION_MAJOR)
                   .arg(ZAV_VERSION_MINOR)
                   .arg(ZAV_VERSION_PATCH);

    QTranslator qt;
    if (loadQtCatalogue(qt, QStringLiteral("qtbase"), translationLanguage(version))) {
        for (const auto &[key, text] : walk.texts) {
            for (const char *context : {"QPlatformTheme", "QWidgetTextControl", "QLineEdit", "QMessageBox",
                                        "QDialogButtonBox", "QFileDialog"}) {
                if (qt.translate(context, text.toUtf8().constData()) == text)
                    allowed << text;
            }
        }
    }
    return allowed;
}

int walkWindow(int argc, char *argv[])
{
    // Qt's own file dialog, which the walk can read; Windows' native one speaks
    // the system's language and would wait for a hand.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    installTranslations(runLanguageVersion());
    const QString own = QString::fromLocal8Bit(argv[2]);
    // Paths quoted in texts are the same in every language's run.
    const QString shared = QString::fromLocal8Bit(argv[3]);
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, own + QStringLiteral("/store"));
    qputenv("ZAV_COM1", (shared + QStringLiteral("/no-port")).toLocal8Bit());

    StartupSettings settings;
    settings.PortNumber = 1;
    settings.FactoryCode = 731; // all five tabs and the factory fields
    frmMain window(settings, own + QStringLiteral("/zav.ini"));
    window.setCalibrationEnabled(false);
    window.Form_Load();
    WidgetFields &f = window.fields();
    for (const LayoutItem &item : mainLayout()) {
        if (item.hiddenAtStep != 8 && QLatin1String(item.parent) != QLatin1String("TabStrip1"))
            f.setVisible(QString::fromLatin1(item.name), true);
    }

    TextWalk walk;
    for (int page = 1; page <= 5; ++page) {
        f.setListIndex(QStringLiteral("TabStrip1"), page - 1);
        QApplication::processEvents();
        walk.walk(&window, QStringLiteral("frmMain"));
    }

    // The progress bar of a long operation, with its time left.
    OperationProgress &progress = window.link().progress();
    progress.start(278);
    progress.advance(120);
    walk.walk(&window, QStringLiteral("frmMain"));
    progress.finish();

    // The traffic view's context menu: Qt's own entries and ours.
    auto *debug = qobject_cast<QPlainTextEdit *>(f.widget(QStringLiteral("TDebug")));
    emit debug->customContextMenuRequested(QPoint(10, 10));
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *menu = qobject_cast<QMenu *>(w); menu && menu->isVisible()) {
            walk.menu(menu, QStringLiteral("TDebugMenu"));
            menu->close();
        }
    }

    // The adapter dialog behind the Assign button.
    whenShown<QDialog>([&walk](QDialog *dialog) {
        walk.walk(dialog, QStringLiteral("AssignPortDialog"));
        dialog->reject();
    });
    window.findChild<QPushButton *>(QStringLiteral("assignPort"))->click();

    // The message box of a help viewer that cannot be started.
    qputenv("ZAV_HELP_VIEWER", (shared + QStringLiteral("/no-viewer")).toLocal8Bit());
    qputenv("PATH", (shared + QStringLiteral("/no-programs")).toLocal8Bit());
    whenShown<QMessageBox>([&walk](QMessageBox *box) {
        walk.walk(box, QStringLiteral("HelpMessage"));
        box->accept();
    });
    qobject_cast<QAbstractButton *>(f.widget(QStringLiteral("CAyuda")))->click();

    // The message box of a parameter file that ends too early, picked in Qt's file dialog.
    const QString shortFile = shared + QStringLiteral("/short.zav");
    whenShown<QFileDialog>([&walk, shortFile](QFileDialog *dialog) {
        whenShown<QMessageBox>([&walk](QMessageBox *box) {
            walk.walk(box, QStringLiteral("OpenMessage"));
            box->accept();
        });
        dialog->selectFile(shortFile);
        // QFileDialog's own accept(), as its Open button runs it.
        static_cast<QDialog *>(dialog)->accept();
    });
    qobject_cast<QAbstractButton *>(f.widget(QStringLiteral("CAbrir")))->click();

    for (const auto &[key, text] : walk.texts) {
        std::printf("TEXT %s\t%s\n", qPrintable(key), qPrintable(text.toUtf8().toPercentEncoding(" /:()")));
    }
    for (const QString &text : allowedTexts(walk))
        std::printf("ALLOW %s\n", qPrintable(text.toUtf8().toPercentEncoding(" /:()")));
    std::fflush(stdout);
    return 0;
}

struct Language
{
    const char *tag;
    const char *locale;
};

const Language kLanguages[] = {
    {"en", "en_GB.UTF-8"},
    {"es", "es_ES.UTF-8"},
    {"fr", "fr_FR.UTF-8"},
};

// The texts a child walked, and those it may show as in English.
struct Walked
{
    std::map<QString, QString> texts;
    QSet<QString> allowed;
};

// What our catalogue for a language says about its messages.
struct Catalogue
{
    // Messages the translators kept as they are ("USB").
    QSet<QString> kept;
    // The English words of each message that its translation does not hold: a
    // text put together from several messages shows one of them when one
    // message lost its translation, even though the whole text differs.
    QList<std::pair<QString, QRegularExpression>> englishPieces;
};

Catalogue readCatalogue(const QString &language)
{
    Catalogue catalogue;
    QFile file(QStringLiteral(ZAV_TRANSLATIONS_DIR "/zav_%1.ts").arg(language));
    if (!file.open(QIODevice::ReadOnly))
        return catalogue;
    QXmlStreamReader xml(&file);
    QString source;
    QSet<QString> pieces;
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement())
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString translation = xml.readElementText();
            if (translation == source) {
                catalogue.kept << source;
                continue;
            }
            static const QRegularExpression placeholder(QStringLiteral("%\\d+|\\n"));
            static const QRegularExpression edges(QStringLiteral("^[^\\p{L}]+|[^\\p{L}]+$"));
            for (QString piece : source.split(placeholder)) {
                piece.remove(edges);
                if (!piece.isEmpty() && !translation.contains(piece))
                    pieces << piece;
            }
        }
    }
    for (const QString &piece : pieces) {
        catalogue.englishPieces.append(
            {piece, QRegularExpression(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(piece)))});
    }
    return catalogue;
}

bool hasLetter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); });
}

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    std::map<QString, std::unique_ptr<QProcess>> m_children;
    std::map<QString, Walked> m_walked;

    Walked &walked(const QString &tag)
    {
        auto found = m_walked.find(tag);
        if (found != m_walked.end())
            return found->second;
        Walked &w = m_walked[tag];
        QProcess &child = *m_children.at(tag);
        if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit ||
            child.exitCode() != 0) {
            qWarning("%s", child.readAllStandardError().constData());
            return w;
        }
        // QProcess::Text: a Windows child's lines end in CR LF.
        child.setTextModeEnabled(true);
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            if (line.startsWith("TEXT ")) {
                const qsizetype tab = line.indexOf('\t');
                w.texts[QString::fromUtf8(line.mid(5, tab - 5))] =
                    QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(tab + 1)));
            } else if (line.startsWith("ALLOW ")) {
                w.allowed << QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(6)));
            }
        }
        return w;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        const QString shared = m_folder.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(shared + QStringLiteral("/no-programs")));
        QFile shortFile(shared + QStringLiteral("/short.zav"));
        QVERIFY(shortFile.open(QIODevice::WriteOnly));
        shortFile.write("1\r\n2\r\n3\r\n");
        shortFile.close();
        for (const Language &language : kLanguages) {
            const QString tag = QString::fromLatin1(language.tag);
            const QString own = m_folder.filePath(tag);
            QVERIFY(QDir().mkpath(own));
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.remove(QStringLiteral("LC_ALL"));
            environment.remove(QStringLiteral("LC_MESSAGES"));
            environment.insert(QStringLiteral("LANG"), QString::fromLatin1(language.locale));
            // The parent's platform (see ui_captions_test).
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QGuiApplication::platformName());
            auto child = std::make_unique<QProcess>();
            child->setProcessEnvironment(environment);
            child->start(QCoreApplication::applicationFilePath(),
                         {QString::fromLatin1(kChildSwitch), own, shared});
            m_children[tag] = std::move(child);
        }
    }

    void nothingOfOursLeftInEnglish_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("version");
        QTest::newRow("es") << QStringLiteral("es") << int(LanguageVersion::SpanishModern);
        QTest::newRow("fr") << QStringLiteral("fr") << int(LanguageVersion::French);
    }

    void nothingOfOursLeftInEnglish()
    {
        QFETCH(QString, tag);
        QFETCH(int, version);
        const Walked &english = walked(QStringLiteral("en"));
        const Walked &local = walked(tag);
        QVERIFY2(!english.texts.empty() && !local.texts.empty(), "a child did not walk the window");

        // The child did speak its language, and reached every dialog.
        QCOMPARE(local.texts.at(QStringLiteral("frmMain/client/CLeer:text")),
                 LoadText(1431, LanguageVersion(version)));
        for (const char *part :
             {"frmMain/", "TDebugMenu/", "AssignPortDialog:", "HelpMessage:", "OpenMessage:"}) {
            const bool reached =
                std::any_of(local.texts.begin(), local.texts.end(), [part](const auto &entry) {
                    return entry.first.startsWith(QLatin1String(part));
                });
            QVERIFY2(reached, part);
        }

        const Catalogue catalogue = readCatalogue(tag);
        QVERIFY2(!catalogue.englishPieces.isEmpty(), "the catalogue's source was not read");
        QStringList offenders;
        for (const auto &[key, text] : local.texts) {
            if (!hasLetter(text) || local.allowed.contains(text) || catalogue.kept.contains(text))
                continue;
#ifdef Q_OS_WIN
            // Windows writes the clock and the date as the user's regional settings
            // say, not by the program's language; a child cannot be given its own.
            if (key.startsWith(QLatin1String("frmMain/sbStatusBar/StatusTime:")) ||
                key.startsWith(QLatin1String("frmMain/sbStatusBar/StatusDate:")))
                continue;
#endif
            const auto theirs = english.texts.find(key);
            if (theirs != english.texts.end() && theirs->second == text) {
                offenders << QStringLiteral("%1 \"%2\"").arg(key, text);
                continue;
            }
            for (const auto &[piece, word] : catalogue.englishPieces) {
                if (text.contains(word)) {
                    offenders << QStringLiteral("%1 \"%2\" holds \"%3\"").arg(key, text, piece);
                    break;
                }
            }
        }
        QVERIFY2(offenders.isEmpty(), qPrintable(QLatin1Char('\n') + offenders.join(QLatin1Char('\n'))));
    }
};

int main(int argc, char *argv[])
{
    if (argc >= 4 && std::strcmp(argv[1], kChildSwitch) == 0)
        return walkWindow(argc, argv);
    QApplication app(argc, argv);
    TranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ui_translations_test.moc"
