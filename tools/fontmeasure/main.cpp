// Measures candidate faces against the window's design boxes: for each face, how
// many captions and list entries of each language are wider than the room their
// twip box leaves at the design size (8.25 points, 9.75 for the status captions).
//
//   zav-fontmeasure [--add-font FILE]... [--list] [--sample PNG] [FAMILY]...
//
// Without families it measures a fixed set of faces that Debian packages ship.
// The room is what a classic dialog leaves for text in a box at 96 dpi: a
// caption the whole box, a check box the box less its 13-pixel square and gap,
// a button the box less its bevel, a list the box less its border and arrow
// button, a frame caption the frame less its indents.

#include "device/parameterlists.h"
#include "text/stringtable.h"
#include "ui/layouttable.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr double kPixelsPerTwip = 96.0 / 1440.0;
constexpr double kDesignPoints = 8.25;
constexpr double kIndicatorPoints = 9.75;

struct Language
{
    const char *name;
    LanguageVersion version;
};

const Language kLanguages[] = {
    {"en", LanguageVersion::Neutral},
    {"es", LanguageVersion::SpanishModern},
    {"es-trad", LanguageVersion::SpanishTraditional},
    {"fr", LanguageVersion::French},
};

// Faces that Debian packages ship, each with its package.
const char *const kCandidates[][2] = {
    {"DejaVu Sans", "fonts-dejavu-core"},
    {"DejaVu Sans Condensed", "fonts-dejavu-extra"},
    {"Liberation Sans", "fonts-liberation2"},
    {"Liberation Sans Narrow", "fonts-liberation"},
    {"Arimo", "fonts-croscore"},
    {"Noto Sans", "fonts-noto-core"},
    {"FreeSans", "fonts-freefont-ttf"},
    {"Nimbus Sans", "fonts-urw-base35"},
    {"Nimbus Sans Narrow", "fonts-urw-base35"},
    {"Carlito", "fonts-crosextra-carlito"},
    {"Roboto", "fonts-roboto-unhinted"},
    {"Roboto Condensed", "fonts-roboto-unhinted"},
    {"Open Sans", "fonts-open-sans"},
    {"Lato", "fonts-lato"},
    {"Go", "fonts-go"},
    {"Clear Sans", "fonts-clear-sans"},
    {"Tahoma", "fonts-wine"},
    {"MS Sans Serif", "fonts-wine"},
};

struct Box
{
    QString what; // field name, or field name and entry for a list entry
    QString text;
    double room;
    double points;
    double height; // for a caption drawn two lines high, else 0
};

double px(int twips)
{
    return twips * kPixelsPerTwip;
}

// Every caption and list entry of the window in one language with the room it has.
QList<Box> boxesFor(LanguageVersion version)
{
    QList<Box> boxes;
    for (const LayoutItem &item : mainLayout()) {
        const QString name = QString::fromLatin1(item.name);
        QString text = item.captionId ? LoadText(item.captionId, version)
                                      : QString::fromUtf8(item.caption ? item.caption : "");
        const double points = item.style == ControlStyle::Indicator ? kIndicatorPoints : kDesignPoints;
        const double w = px(item.width);
        switch (item.kind) {
        case ControlKind::Label:
            if (name.startsWith(QLatin1String("lblDuracion")))
                text = text.section(QLatin1Char(' '), 0, 1); // the words before the gap
            if (!text.isEmpty())
                boxes.append(
                    {name, text, w, points, item.style == ControlStyle::TwoLines ? px(item.height) : 0});
            break;
        case ControlKind::Check:
            if (!text.isEmpty())
                boxes.append({name, text, w - 13 - 5, points, 0});
            break;
        case ControlKind::Button:
            boxes.append({name, text, w - 4, points, 0});
            break;
        case ControlKind::Frame:
            if (item.width > 0) // page frames span the tab strip: always room
                boxes.append({name, text, w - 2 * 8 - 4, points, 0});
            break;
        default:
            break;
        }
    }
    for (const ParameterList &list : parameterLists()) {
        const QString name = QString::fromLatin1(list.field);
        double room = 0;
        for (const LayoutItem &item : mainLayout()) {
            if (name == QLatin1String(item.name))
                room = px(item.width) - 4 - 17 - 3;
        }
        int i = 0;
        const auto fixed = list.fixedEntries;
        const int count = list.ids.size() ? int(list.ids.size()) : int(fixed.size());
        for (; i < count; ++i) {
            const int id = list.ids.size() ? *(list.ids.begin() + i) : 0;
            const QString entry = id ? LoadText(id, version) : QString::fromUtf8(*(fixed.begin() + i));
            boxes.append({name + QLatin1Char('=') + entry, entry, room, kDesignPoints, 0});
        }
    }
    return boxes;
}

struct Result
{
    double totalWidth = 0;
    int characters = 0;
    int overflowing = 0;
    double worst = 0; // pixels over the room
    QStringList offenders;
};

Result measure(const QString &family, const QList<Box> &boxes)
{
    Result r;
    for (const Box &box : boxes) {
        QFont font(family);
        font.setPointSizeF(box.points);
        const QFontMetricsF fm(font);
        r.totalWidth += fm.horizontalAdvance(box.text);
        r.characters += int(box.text.size());
        double over;
        if (box.height > 0) {
            // Wrapped at the box's width: what runs below the box.
            const QRectF used = fm.boundingRect(QRectF(0, 0, box.room, 1000), Qt::TextWordWrap, box.text);
            over = used.height() - box.height;
        } else {
            over = fm.horizontalAdvance(box.text) - box.room;
        }
        if (over > 0) {
            ++r.overflowing;
            r.worst = qMax(r.worst, over);
            r.offenders << QStringLiteral("%1 \"%2\" +%3px").arg(box.what, box.text).arg(over, 0, 'f', 1);
        }
    }
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);

    QStringList families;
    bool list = false;
    QString samplePath;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--add-font") && i + 1 < args.size()) {
            if (QFontDatabase::addApplicationFont(args[++i]) < 0)
                out << "cannot load " << args[i] << "\n";
        } else if (args[i] == QLatin1String("--sample") && i + 1 < args.size()) {
            samplePath = args[++i];
        } else if (args[i] == QLatin1String("--list")) {
            list = true;
        } else {
            families << args[i];
        }
    }
    QStringList packages;
    if (families.isEmpty()) {
        for (const auto &candidate : kCandidates) {
            families << QString::fromLatin1(candidate[0]);
            packages << QString::fromLatin1(candidate[1]);
        }
    }

    // The classic face itself, where a package brings it, is the yardstick for widths.
    const QString reference = QStringLiteral("MS Sans Serif");
    const auto installed = [](const QString &family) {
        QFont font(family);
        font.setPointSizeF(kDesignPoints);
        return QFontInfo(font).family().startsWith(family, Qt::CaseInsensitive);
    };
    double referenceWidth = 0;
    if (installed(reference)) {
        for (const Language &language : kLanguages)
            referenceWidth += measure(reference, boxesFor(language.version)).totalWidth;
    }

    out << "| face | package | px per character of the captions | width vs " << reference
        << " | captions over their box en / es / es-trad / fr | worst px over |\n|---|---|---|---|---|---|\n";
    for (int f = 0; f < families.size(); ++f) {
        const QString &family = families[f];
        if (!installed(family)) {
            out << "| " << family << " | " << packages.value(f) << " | not installed | | | |\n";
            continue;
        }
        QStringList counts;
        double worst = 0;
        double total = 0;
        int characters = 0;
        QStringList offenders;
        for (const Language &language : kLanguages) {
            const Result r = measure(family, boxesFor(language.version));
            counts << QString::number(r.overflowing);
            worst = qMax(worst, r.worst);
            total += r.totalWidth;
            characters += r.characters;
            for (const QString &o : r.offenders)
                offenders << QStringLiteral("  %1: %2").arg(QLatin1String(language.name), o);
        }
        const QString ratio = referenceWidth > 0
                                  ? QString::number(100.0 * total / referenceWidth, 'f', 0) + QLatin1Char('%')
                                  : QString();
        out << "| " << family << " | " << packages.value(f) << " | "
            << QString::number(total / qMax(characters, 1), 'f', 2) << " | " << ratio << " | "
            << counts.join(QLatin1String(" / ")) << " | " << QString::number(worst, 'f', 1) << " |\n";
        if (list) {
            for (const QString &o : offenders)
                out << o << "\n";
        }
    }
    if (!samplePath.isEmpty()) {
        // One line per face at the design size, for a look at the faces side by side.
        const QString text = QString::fromUtf8("Retardo alarma lámpara · Numéro Fabrication · Escribir ZAV · "
                                               "Motor 1 · Daylight sensor · Type Changeur de lampes");
        QImage image(900, 16 * int(families.size()) + 8, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        for (int f = 0; f < families.size(); ++f) {
            QFont font(families[f]);
            font.setPointSizeF(kDesignPoints);
            painter.setFont(font);
            painter.drawText(QPointF(4, 16 * (f + 1)), families[f] + QStringLiteral(": ") + text);
        }
        painter.end();
        image.save(samplePath);
    }
    return 0;
}
