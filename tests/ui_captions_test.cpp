// Every caption of the real main window fits its box, in every language and at
// 100 % and 200 %: labels, buttons, check boxes, frame captions, tabs and the
// value each list shows. The string table picks its language once per process
// from the locale, as the program does, so each language lays the window out in a
// child process of this test with its own LANG; the child reports every offender
// and saves a picture of every page for review.
//
//   ZAV_KEEP_SCREENSHOTS=1 ui_captions_test   keeps the pictures and prints their folder

#include "desktop/startupsettings.h"
#include "ui/dialogface.h"
#include "ui/layouttable.h"
#include "ui/mainwindow.h"
#include "ui/twips.h"
#include "ui/widgetfields.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

namespace {

const char *const kChildSwitch = "--lay-out-window";

QString name(const char *n)
{
    return QString::fromLatin1(n);
}

// The window as one language shows it, with every field of a fully equipped
// controller shown; writes one line per offender to standard output.
class WindowInspection
{
public:
    WindowInspection(frmMain &window, const QString &tag) : m_window(window), m_tag(tag) {}

    QStringList offenders;

    void run(const QString &pictures)
    {
        WidgetFields &f = m_window.fields();
        m_window.grab().save(QStringLiteral("%1/%2-start.png").arg(pictures, m_tag));

        checkListValues();
        showAllFields();
        for (const LayoutItem &item : mainLayout()) {
            QWidget *w = f.widget(name(item.name));
            if (!w || w->isHidden())
                continue;
            checkCaption(item, w);
            checkPlace(item, w);
            if (item.kind == ControlKind::Label || item.kind == ControlKind::Check)
                checkClearance(w);
        }
        checkTabs();

        // One picture per page; a small button has the focus to show its focus frame.
        for (int page = 1; page <= 5; ++page) {
            f.setListIndex(QStringLiteral("TabStrip1"), page - 1);
            if (page == 3)
                f.widget(QStringLiteral("CNormal"))->setFocus();
            QApplication::processEvents();
            m_window.grab().save(QStringLiteral("%1/%2-page%3.png").arg(pictures, m_tag).arg(page));
        }
    }

private:
    void offend(const QString &field, const QString &what)
    {
        offenders << QStringLiteral("%1: %2 %3").arg(m_tag, field, what);
    }

    void showAllFields()
    {
        WidgetFields &f = m_window.fields();
        // Every field a controller can have; the page frames keep to their tabs.
        for (const LayoutItem &item : mainLayout()) {
            if (item.hiddenAtStep != 8 && name(item.parent) != QLatin1String("TabStrip1"))
                f.setVisible(name(item.name), true);
        }
        f.setVisible(QStringLiteral("PictureInicio"), false);
        f.setListIndex(QStringLiteral("TabStrip1"), 0);
        QApplication::processEvents();
    }

    static double designPoints(const LayoutItem &item)
    {
        return item.style == ControlStyle::Indicator ? kIndicatorPoints : kDesignPoints;
    }

    void checkWidth(const QString &field, const QString &text, const QFont &font, int room)
    {
        const int width = QFontMetrics(font).horizontalAdvance(text);
        if (width > room)
            offend(field,
                   QStringLiteral("\"%1\" is %2 px wide in a room of %3 px").arg(text).arg(width).arg(room));
    }

    void checkCaption(const LayoutItem &item, QWidget *w)
    {
        const QString field = name(item.name);
        const double points = w->font().pointSizeF();
        if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->text().isEmpty())
                return;
            const QRect room = label->contentsRect();
            if (label->wordWrap()) {
                const int height = label->heightForWidth(room.width());
                if (height > room.height())
                    offend(field, QStringLiteral("\"%1\" wraps to %2 px in a box %3 px high")
                                      .arg(label->text())
                                      .arg(height)
                                      .arg(room.height()));
            } else {
                checkWidth(field, label->text(), label->font(), room.width());
            }
        } else if (auto *check = qobject_cast<QCheckBox *>(w)) {
            if (check->text().isEmpty())
                return;
            QStyleOptionButton option;
            option.initFrom(check);
            option.text = check->text();
            const QRect room = check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check);
            checkWidth(field, check->text(), check->font(), room.width());
        } else if (auto *button = qobject_cast<QPushButton *>(w)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const QRect room =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            checkWidth(field, button->text(), button->font(), room.width());
            if (QFontMetrics(button->font()).height() > room.height())
                offend(field, QStringLiteral("text is higher than the button's %1 px").arg(room.height()));
            checkHitArea(field, button);
        } else if (auto *frame = qobject_cast<QGroupBox *>(w)) {
            checkFrame(field, frame);
        } else {
            return;
        }
        if (!qFuzzyCompare(points, designPoints(item)))
            offend(field,
                   QStringLiteral("is drawn at %1 points, not its %2").arg(points).arg(designPoints(item)));
    }

    // The whole design rectangle takes a click, up to its edges.
    void checkHitArea(const QString &field, QPushButton *button)
    {
        if (!button->isEnabled())
            return;
        const QSignalBlocker blocker(button); // no handler runs
        for (const QPoint corner : {QPoint(0, 0), QPoint(button->width() - 1, button->height() - 1)}) {
            QTest::mousePress(button, Qt::LeftButton, {}, corner);
            const bool down = button->isDown();
            QTest::mouseRelease(button, Qt::LeftButton, {}, corner);
            if (!down)
                offend(field, QStringLiteral("takes no click at %1,%2").arg(corner.x()).arg(corner.y()));
        }
    }

    // The caption stands on the border line and every control inside stays clear of
    // the border and the caption.
    void checkFrame(const QString &field, QGroupBox *frame)
    {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        QStyle *style = frame->style();
        const QRect label =
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
        const QRect border =
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, frame);
        checkWidth(field, frame->title(), frame->font(), label.width() - 4);
        if (!label.contains(QPoint(label.left() + 1, border.top())))
            offend(field, QStringLiteral("caption is off the border line at y %1").arg(border.top()));
        const QRect inside = border.adjusted(1, 1, -1, -1);
        for (QObject *child : frame->children()) {
            auto *control = qobject_cast<QWidget *>(child);
            if (!control || control->isHidden() || control->isWindow())
                continue;
            if (!inside.contains(control->geometry()) || control->geometry().intersects(label))
                offend(field,
                       QStringLiteral("border or caption is crossed by %1").arg(control->objectName()));
        }
    }

    // Controls stand where their twips put them; a label that took a second line keeps
    // its column and overlaps no neighbour.
    void checkPlace(const LayoutItem &item, QWidget *w)
    {
        if (item.kind == ControlKind::TabStrip || name(item.parent) == QLatin1String("TabStrip1") ||
            item.kind == ControlKind::Hint)
            return;
        const QRect design = twipsRect(item.left, item.top, item.width, item.height);
        const QRect actual = w->geometry();
        if (actual == design)
            return;
        auto *label = qobject_cast<QLabel *>(w);
        if (!label || !label->wordWrap() || actual.left() != design.left() ||
            actual.width() != design.width()) {
            offend(name(item.name), QStringLiteral("moved from its twips"));
            return;
        }
        for (QObject *child : w->parentWidget()->children()) {
            auto *sibling = qobject_cast<QWidget *>(child);
            if (sibling && sibling != w && !sibling->isHidden() && sibling->geometry().intersects(actual))
                offend(name(item.name),
                       QStringLiteral("on two lines overlaps %1").arg(sibling->objectName()));
        }
    }

    // Where a control leaves marks on its parent: a framed label or any other control
    // its whole box; a caption only its words, since a label's box may lie under a
    // neighbour by design (the pulse box sits in its caption's gap).
    static QList<QRect> marks(QWidget *w)
    {
        auto words = [](const QRect &line, const QFont &font, const QString &text, const QPoint &offset) {
            QList<QRect> rects;
            const QFontMetrics metrics(font);
            for (qsizetype at = 0; at < text.size();) {
                if (text.at(at).isSpace()) {
                    ++at;
                    continue;
                }
                qsizetype end = at;
                while (end < text.size() && !text.at(end).isSpace())
                    ++end;
                const int x = line.left() + metrics.horizontalAdvance(text.left(at));
                rects << QRect(x, line.top(), metrics.horizontalAdvance(text.mid(at, end - at)),
                               line.height())
                             .translated(offset);
                at = end;
            }
            return rects;
        };
        if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->frameShape() != QFrame::NoFrame || label->text().isEmpty())
                return {w->geometry()};
            const QRect room = label->contentsRect();
            if (label->wordWrap())
                return {QRect(room.topLeft(), QSize(room.width(), label->heightForWidth(room.width())))
                            .translated(w->pos())};
            const QRect line =
                QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                    QSize(QFontMetrics(label->font()).horizontalAdvance(label->text()),
                                          QFontMetrics(label->font()).height()),
                                    room);
            return words(line, label->font(), label->text(), w->pos());
        }
        if (auto *check = qobject_cast<QCheckBox *>(w)) {
            QStyleOptionButton option;
            option.initFrom(check);
            option.text = check->text();
            QStyle *style = check->style();
            QList<QRect> rects{
                style->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check).translated(w->pos())};
            const QRect room = style->subElementRect(QStyle::SE_CheckBoxContents, &option, check);
            return rects + words(room, check->font(), check->text(), w->pos());
        }
        return {w->geometry()};
    }

    static bool framed(QWidget *w)
    {
        auto *label = qobject_cast<QLabel *>(w);
        return label && label->frameShape() != QFrame::NoFrame;
    }

    // No caption overlaps or touches another control, on one line or two.
    void checkClearance(QWidget *w)
    {
        const QList<QRect> own = marks(w);
        for (QObject *child : w->parentWidget()->children()) {
            auto *sibling = qobject_cast<QWidget *>(child);
            if (!sibling || sibling == w || sibling->isHidden() || sibling->isWindow())
                continue;
            // Alternatives at one place, only one of them shown at a time.
            if (sibling->geometry() == w->geometry())
                continue;
            // Boxes stacked in a column draw their common edge once.
            const QRect common = sibling->geometry() & w->geometry();
            if (framed(w) && framed(sibling) && (common.height() == 1 || common.width() == 1))
                continue;
            for (const QRect &theirs : marks(sibling)) {
                const QRect near = theirs.adjusted(-1, -1, 1, 1);
                if (std::any_of(own.begin(), own.end(), [&](const QRect &r) { return r.intersects(near); })) {
                    offend(w->objectName(), QStringLiteral("touches %1").arg(sibling->objectName()));
                    break;
                }
            }
        }
    }

    void checkTabs()
    {
        auto *tabs = qobject_cast<QTabBar *>(m_window.fields().widget(QStringLiteral("TabStrip1")));
        if (tabs->count() != 5)
            offend(QStringLiteral("TabStrip1"), QStringLiteral("has %1 tabs").arg(tabs->count()));
        for (int i = 0; i < tabs->count(); ++i)
            checkWidth(QStringLiteral("tab %1").arg(i + 1), tabs->tabText(i), tabs->font(),
                       tabs->tabRect(i).width());
        if (tabs->tabRect(tabs->count() - 1).right() >= tabs->width())
            offend(QStringLiteral("TabStrip1"), QStringLiteral("tabs run past the strip"));
    }

    // Every entry of every list, chosen in turn, shows whole in the box at the design
    // size, and the list of entries opens as wide as its longest entry.
    void checkListValues()
    {
        WidgetFields &f = m_window.fields();
        for (const LayoutItem &item : mainLayout()) {
            auto *combo = qobject_cast<QComboBox *>(f.widget(name(item.name)));
            if (!combo)
                continue;
            const QString field = name(item.name);
            const QStringList entries = f.listEntries(field);
            const QFontMetrics listFont(combo->font());
            int longest = 0;
            for (int i = 0; i < entries.size(); ++i) {
                f.setListIndex(field, i);
                longest = qMax(longest, listFont.horizontalAdvance(entries[i]));
                QFont shown = combo->font();
                int room = 0;
                if (QLineEdit *edit = combo->lineEdit()) {
                    shown = edit->font();
                    room = edit->contentsRect().width() - 4; // the line edit's own margins
                } else {
                    QStyleOptionComboBox option;
                    option.initFrom(combo);
                    room = combo->style()
                               ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                                combo)
                               .width() -
                           2;
                }
                checkWidth(field, entries[i], shown, room);
                if (shown.pointSizeF() < kDesignPoints)
                    offend(
                        field,
                        QStringLiteral("shows \"%1\" at %2 points").arg(entries[i]).arg(shown.pointSizeF()));
            }
            if (entries.isEmpty())
                continue;
            combo->showPopup();
            const int popup = combo->view()->viewport()->width();
            combo->hidePopup();
            if (popup < longest + 6)
                offend(field,
                       QStringLiteral("opens %1 px wide for entries up to %2 px").arg(popup).arg(longest));
        }
    }

    frmMain &m_window;
    QString m_tag;
};

int layOutWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const QString tag = QString::fromLocal8Bit(argv[3]);
    QStandardPaths::setTestModeEnabled(true);
    // A store of this language's own: the languages lay out side by side.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       folder + QStringLiteral("/store-") + tag);
    // A port that is not there: the start-up trial fails at once.
    qputenv("ZAV_COM1", (folder + QStringLiteral("/no-port")).toLocal8Bit());

    StartupSettings settings;
    settings.PortNumber = 1;
    settings.FactoryCode = 731; // all five tabs and the factory fields
    frmMain window(settings, folder + QStringLiteral("/zav-") + tag + QStringLiteral(".ini"));
    window.setCalibrationEnabled(false);
    window.Form_Load();

    WindowInspection inspection(window, tag);
    inspection.run(folder);
    for (const QString &offender : inspection.offenders)
        std::printf("OFFENDER %s\n", qPrintable(offender));
    std::fflush(stdout);
    return 0;
}

// The languages and scales the window is laid out in, one child process each.
struct Layout
{
    const char *tag;
    const char *locale;
    const char *scale;
};

const Layout kLayouts[] = {
    {"en 100%", "en_GB.UTF-8", "1"},
    {"es 100%", "es_ES.UTF-8", "1"},
    {"es traditional 100%", "es_ES.UTF-8@traditional", "1"},
    {"fr 100%", "fr_FR.UTF-8", "1"},
    {"en 200%", "en_GB.UTF-8", "2"},
    {"es 200%", "es_ES.UTF-8", "2"},
    {"fr 200%", "fr_FR.UTF-8", "2"},
};

QString fileTag(const char *tag)
{
    return QString::fromLatin1(tag).replace(QLatin1Char(' '), QLatin1Char('-')).remove(QLatin1Char('%'));
}

} // namespace

class CaptionsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_pictures;
    // Every language's child starts at once and lays out beside the others.
    std::map<QString, std::unique_ptr<QProcess>> m_children;

private slots:
    void initTestCase()
    {
        QVERIFY(m_pictures.isValid());
        if (qEnvironmentVariableIsSet("ZAV_KEEP_SCREENSHOTS")) {
            m_pictures.setAutoRemove(false);
            qInfo("Pictures of the window: %s", qPrintable(m_pictures.path()));
        }
        for (const Layout &layout : kLayouts) {
            // The language comes from the locale exactly as at the program's start.
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.remove(QStringLiteral("LC_ALL"));
            environment.remove(QStringLiteral("LC_MESSAGES"));
            environment.insert(QStringLiteral("LANG"), QString::fromLatin1(layout.locale));
            // The parent's own platform: offscreen under ctest on Linux; under Wine,
            // where Qt's offscreen platform does not start, Windows' own without a display.
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QGuiApplication::platformName());
            environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(layout.scale));
            auto child = std::make_unique<QProcess>();
            child->setProcessEnvironment(environment);
            child->setProcessChannelMode(QProcess::SeparateChannels);
            child->start(QCoreApplication::applicationFilePath(),
                         {QString::fromLatin1(kChildSwitch), m_pictures.path(), fileTag(layout.tag)});
            m_children[QString::fromLatin1(layout.tag)] = std::move(child);
        }
    }

    void captionsFitTheirBoxes_data()
    {
        QTest::addColumn<QString>("tag");
        for (const Layout &layout : kLayouts)
            QTest::newRow(layout.tag) << QString::fromLatin1(layout.tag);
    }

    void captionsFitTheirBoxes()
    {
        QFETCH(QString, tag);
        QVERIFY2(dialogFaceInstalled(),
                 "the window's face Carlito (fonts-crosextra-carlito) is not installed");

        QProcess &child = *m_children.at(tag);
        QVERIFY2(child.waitForFinished(120000), "the window did not lay out in time");
        const QByteArray said = child.readAllStandardError();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 qPrintable(QStringLiteral("the child ended with %1 (code 0x%2): %3")
                                .arg(child.exitStatus() == QProcess::NormalExit ? QStringLiteral("exit")
                                                                                : QStringLiteral("a crash"))
                                .arg(uint(child.exitCode()), 0, 16)
                                .arg(QString::fromLocal8Bit(said))));

        QStringList offenders;
        child.setTextModeEnabled(true); // a Windows child's lines end in CR LF
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            if (line.startsWith("OFFENDER "))
                offenders << QString::fromUtf8(line.mid(9));
        }
        QVERIFY2(offenders.isEmpty(), qPrintable(QLatin1Char('\n') + offenders.join(QLatin1Char('\n'))));
        QVERIFY(QFile::exists(
            QStringLiteral("%1/%2-page5.png").arg(m_pictures.path(), fileTag(qPrintable(tag)))));
    }
};

int main(int argc, char *argv[])
{
    if (argc >= 4 && std::strcmp(argv[1], kChildSwitch) == 0)
        return layOutWindow(argc, argv);
    QApplication app(argc, argv);
    CaptionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ui_captions_test.moc"
