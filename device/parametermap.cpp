#include "device/parametermap.h"

#include "device/lighttables.h"
#include "device/numbers.h"
#include "fields/fields.h"
#include "text/stringtable.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <climits>

namespace {

using S = ShowRule;
using W = StoreRule;

// The controller's parameter memory, in address order. Cells 60 to 220 and 225 to
// 230 belong to no field and stay 0.
constexpr ParameterRow kRows[] = {
    {0, 3, "TVelocidadUsuario1", "Label(2)", "LabelUnidades(0)", S::Scaled, W::Scaled, 10000, 4},
    {3, 3, "TVelocidadUsuario2", "Label(26)", "LabelUnidades(4)", S::Scaled, W::Scaled, 10000, 4},
    {6, 3, "TVelocidadUsuario3", "Label(29)", "LabelUnidades(5)", S::Scaled, W::Scaled, 10000, 4},
    {9, 3, "TVelocidadUsuario4", "Label(32)", "LabelUnidades(6)", S::Scaled, W::Scaled, 10000, 4},
    {12, 3, "TRelacionReductor", "Label(28)", nullptr, S::Scaled, W::Scaled, 100, 2},
    {15, 2, "TPulsosRevolucion", "Label(33)", nullptr, S::Plain, W::Number},
    {17, 2, "TLuxON", "Label(18)", "LabelUnidades(1)", S::LightLevel, W::LightLeading, 1, 0, 0, "TLuxONAD"},
    {19, 2, "TLuxOFF", "Label(19)", "LabelUnidades(2)", S::LightLevel, W::LightWhole, 1, 0, 0, "TLuxOFFAD"},
    {21, 2, "TTestFotocelula", "Label(4)", "LabelUnidades(3)", S::Scaled, W::Scaled, 10, 1},
    {23, 2, "TLuxLamparaFundida", "Label(5)", "LabelUnidades(13)", S::LightLevel, W::LightWhole},
    {25, 2, "TRetardoLamparaFundida", "Label(8)", "LabelUnidades(14)", S::Scaled, W::Scaled, 10, 1},
    {27, 1, "ComboTipoCambiador", "Label(11)", nullptr, S::Changer, W::Index, 1, 0, 3},
    {28, 2, "TTiempoLampara1", "Label(36)", "LabelUnidades(11)", S::Scaled, W::Scaled, 10, 1},
    {30, 2, "TTiempoLampara2", "Label(31)", "LabelUnidades(8)", S::Scaled, W::Scaled, 10, 1},
    {32, 2, "TTiempoFalloRed", "Label(34)", "LabelUnidades(9)", S::Scaled, W::Scaled, 10, 1},
    {34, 2, "TTiempoRetornoRed", "Label(35)", "LabelUnidades(10)", S::Scaled, W::Scaled, 10, 1},
    {36, 2, "TFotocelulaInterior", "Label(30)", "LabelUnidades(7)", S::Scaled, W::Scaled, 10, 1},
    {38, 1, "ComboTipoLampara1", "Label(12)", nullptr, S::List, W::Index, 1, 0, 1},
    {39, 1, "ComboTipoLampara2", "Label(13)", nullptr, S::List, W::Index, 1, 0, 1},
    {40, 1, "ComboLamparaPrincipal", "Label(20)", nullptr, S::List, W::Index, 1, 0, 2},
    {41, 1, "ComboSensorLuz", "Label(0)", nullptr, S::List, W::Index, 1, 0, 1},
    {42, 2, "TMaxConsumoLed", "Label(6)", "LabelUnidades(15)", S::Scaled, W::Scaled, 100, 2},
    {44, 2, "TMinConsumoLed", "Label(1)", "LabelUnidades(16)", S::Scaled, W::Scaled, 100, 2},
    {46, 1, "ComboFuncion2Puerto", "Label(27)", nullptr, S::List, W::Index, 1, 0, 2},
    {47, 2, "TTiempoAceleracion", "Label(37)", "LabelUnidades(18)", S::Scaled, W::Scaled, 10, 1},
    {49, 1, "TPWMLed", "Label(39)", "LabelUnidades(20)", S::Plain, W::Whole8},
    {50, 1, "ComboTipoMotor", "Label(40)", nullptr, S::Motor, W::Index, 1, 0, 1},
    {51, 2, "TMargenErrorMotor2", "Label(42)", "LabelUnidades(22)", S::Scaled, W::Scaled, 100, 2},
    {53, 1, "TVueltasError", "Label(41)", nullptr, S::Plain, W::Whole8},
    {54, 1, "CheckBalizaEmergencia", "CheckBalizaEmergencia", nullptr, S::Check, W::Check},
    {55, 1, "cmbModofuncionamiento", "Label(46)", nullptr, S::List, W::Index, 1, 0, 1},
    {56, 1, "txtAtenuacionNocturna", "Label(16)", "Label(45)", S::Plain, W::NightAttenuation},
    {57, 2, "txtTiempoDe", "Label(47)", "Label(48)", S::Minutes, W::Minutes},
    {59, 1, "txtDuracionPulsoSincronismo", "lblDuracionpulsosincronismo", nullptr, S::Plain, W::Pulse},
    {221, 2, "TGradosOffset", "Label(25)", nullptr, S::Plain, W::Number},
    {223, 1, "TLuminosidadLeds", "Label(23)", "LabelUnidades(19)", S::Plain, W::Number},
    {224, 1, "TDientesDisco", "Label(9)", nullptr, S::Plain, W::Number},
    {231, 16, "TIdentificacion", "Label(3)", nullptr, S::Identifier, W::Identifier},
    {247, 1, "TSemanaFabricacion", "Label(22)", nullptr, S::Plain, W::Number8},
    {248, 1, "TAnoFabricacion", "Label(21)", nullptr, S::Plain, W::Number8},
    {249, 2, "TNumeroFabricacion", "Label(10)", nullptr, S::Plain, W::Number},
    {251, 1, "TModeloR", "Label(38)", nullptr, S::Plain, W::Number8},
    {252, 1, "TVersionFirmwareR", "Label(15)", nullptr, S::Firmware, W::Number8},
    {253, 1, "THardwareR", "Label(14)", nullptr, S::Plain, W::Number8},
    {254, 2, "TNumeroID", "Label(43)", nullptr, S::Plain, W::Number},
};

constexpr int kFirstManufacturingCell = 247;
constexpr int kLastManufacturingCell = 253;
constexpr int kIdentifierLength = 16;
constexpr int kOldFirmware = 48;
constexpr int kMinutesShownLimit = 999;
constexpr int kFirmwareNoticeId = 2001;
const QString kSensorList = QStringLiteral("ComboSensorLuz");
const QString kChangerList = QStringLiteral("ComboTipoCambiador");

QString name(const char *s)
{
    return QString::fromLatin1(s);
}

int toInt(qint64 v)
{
    return int(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}

// The row's cells as one whole number, high byte first. Cells from a file may lie
// outside 0 to 255; they are bounded first so the sum cannot overflow.
qint64 rowValue(const ParameterImage &image, const ParameterRow &row)
{
    if (row.width > 3) // the identifier is characters, not a number
        return 0;
    qint64 v = 0;
    for (int k = 0; k < row.width; ++k)
        v = v * 256 + std::clamp<qint64>(image[row.address + k], -(qint64(1) << 31), qint64(1) << 31);
    return v;
}

void storeMasked(ParameterImage &image, const ParameterRow &row, qint64 v)
{
    for (int k = 0; k < row.width; ++k)
        image[row.address + k] = (v >> (8 * (row.width - 1 - k))) & 0xFF;
}

// ---- the identifier's characters ----

// The identifier's 16 cells are shown one character per byte in Latin-1, the
// field's single-byte code page: 1 to 255 are the characters U+0001 to U+00FF and
// back. A zero byte, which a text box cannot hold, shows as U+2400 SYMBOL FOR NULL:
// visible, read as "NUL", outside Latin-1 so no real byte is ever taken for it,
// and typed back (system character input, or copied from the field) it stores 0.
constexpr char16_t kZeroBytePlaceholder = u'\u2400';

QChar identifierChar(qint64 cell)
{
    if (cell == 0)
        return QChar(kZeroBytePlaceholder);
    if (cell > 0 && cell <= 255)
        return QChar(char16_t(cell));
    return QLatin1Char('?'); // a cell from a file that no byte can hold
}

qint64 identifierCode(QChar c)
{
    if (c.unicode() == kZeroBytePlaceholder)
        return 0;
    // Characters beyond the code page cannot be stored; they become '?' as before.
    return c.unicode() <= 255 ? c.unicode() : '?';
}

// ---- image to fields ----

void showIdentifier(Fields &fields, const ParameterRow &row, const ParameterImage &image)
{
    const QString field = name(row.field);
    fields.setText(field, QString());
    QString text;
    for (int k = 0; k < row.width; ++k)
        text += identifierChar(image[row.address + k]);
    fields.setText(field, text);
}

void showChanger(Fields &fields, qint64 v)
{
    if (v >= 0 && v <= 3)
        fields.setListIndex(kChangerList, int(v));
    if (v == 2) {
        for (const char *f : {"TTiempoLampara1", "TFotocelulaInterior", "Label(36)", "Label(30)",
                              "LabelUnidades(11)", "LabelUnidades(7)"})
            fields.setVisible(name(f), true);
    } else if (v == 3) {
        for (const char *f : {"TPWMLed", "Label(39)", "LabelUnidades(20)"})
            fields.setVisible(name(f), true);
    }
    // The rule runs as after a choice by the user, whatever the stored value.
    fields.setListIndex(kChangerList, fields.listIndex(kChangerList));
    fields.processEvents();
}

void showRow(Fields &fields, const ParameterRow &row, const ParameterImage &image, MappingMode mode)
{
    const QString field = name(row.field);
    const bool fromController = mode != MappingMode::FileOpen;
    const qint64 v = rowValue(image, row);
    switch (row.show) {
    case S::Scaled:
        fields.setText(field, formatScaled(v, row.divisor, row.decimals));
        break;
    case S::Plain:
        fields.setText(field, QString::number(v));
        break;
    case S::List:
        fields.setListIndex(field, toInt(qMin<qint64>(v, row.listLimit)));
        break;
    case S::Motor:
        fields.setListIndex(field, toInt(qMin<qint64>(v, row.listLimit)));
        fields.setListIndex(field, fields.listIndex(field));
        break;
    case S::LightLevel: {
        int raw = toInt(v);
        const int lux = SensorToLux(raw, fields.listIndex(kSensorList));
        fields.setText(field, QString::number(lux));
        if (row.rawField)
            fields.setText(name(row.rawField), QString::number(raw));
        break;
    }
    case S::Changer:
        showChanger(fields, v);
        break;
    case S::Check:
        fields.setValue(field, fromController ? int(v & 1) : toInt(v));
        break;
    case S::Minutes:
        fields.setText(field,
                       QString::number(fromController && v > kMinutesShownLimit ? kMinutesShownLimit : v));
        break;
    case S::Identifier:
        showIdentifier(fields, row, image);
        break;
    case S::Firmware:
        fields.setText(field, QString::number(v));
        if (fromController && v < kOldFirmware)
            fields.messageBox(LoadText(kFirmwareNoticeId));
        break;
    }
}

// ---- fields to image ----

// What a row's text gave: nothing wrong, or why its cells hold 0 (or a number the
// controller must not get).
using Trouble = std::optional<QString>;

Trouble tooLarge(const QString &text)
{
    return QCoreApplication::translate("ParameterMap", "%1 is too large").arg(text.trimmed());
}

Trouble negative(const QString &text)
{
    return QCoreApplication::translate("ParameterMap", "%1 is negative").arg(text.trimmed());
}

Trouble notANumber()
{
    return QCoreApplication::translate("ParameterMap", "not a number");
}

// A rounded number stored in masked cells: negatives and huge numbers are refused.
Trouble storeMaskedNumber(ParameterImage &image, const ParameterRow &row, const QString &text,
                          const std::optional<qint64> &v)
{
    if (!v)
        return tooLarge(text);
    storeMasked(image, row, *v);
    if (*v < 0)
        return negative(text);
    return std::nullopt;
}

Trouble storeUnmaskedByte(ParameterImage &image, const ParameterRow &row, const QString &text,
                          const std::optional<qint64> &v)
{
    if (!v)
        return tooLarge(text);
    image[row.address] = *v; // a number outside 0 to 255 is caught by the cell check
    return std::nullopt;
}

// Light levels are limited to 0..550 lux on the way, so any size of number is fine.
void storeLightLevel(Fields &fields, ParameterImage &image, const ParameterRow &row,
                     const DecimalNumber &number)
{
    const std::optional<qint64> v = scaledWhole(number);
    int level = v ? toInt(*v) : (number.negative ? INT_MIN : INT_MAX);
    storeMasked(image, row, LuxToSensor(level, fields.listIndex(kSensorList)));
}

// Fills the row's cells; with fixTexts the field texts that the rules replace are
// replaced. The result says why the row's number cannot be sent, if it cannot.
Trouble storeRow(Fields &fields, const ParameterRow &row, MappingMode mode, bool fixTexts,
                 ParameterImage &image)
{
    const QString field = name(row.field);
    QString text = fields.text(field);
    switch (row.store) {
    case W::Scaled: {
        const auto number = WholeText(text);
        if (!number)
            return notANumber();
        return storeMaskedNumber(image, row, text, scaledWhole(*number, decimalShift(row.divisor)));
    }
    case W::Number:
        if (row.width == 1)
            return storeUnmaskedByte(image, row, text, scaledWhole(LeadingNumber(text)));
        return storeMaskedNumber(image, row, text, scaledWhole(LeadingNumber(text)));
    case W::Number8:
        return storeMaskedNumber(image, row, text, scaledWhole(LeadingNumber(text)));
    case W::Whole8: {
        const auto number = WholeText(text);
        if (!number)
            return notANumber();
        return storeMaskedNumber(image, row, text, scaledWhole(*number));
    }
    case W::Index:
        image[row.address] = fields.listIndex(field);
        return std::nullopt;
    case W::LightLeading:
        storeLightLevel(fields, image, row, LeadingNumber(text));
        return std::nullopt;
    case W::LightWhole: {
        const auto number = WholeText(text);
        if (!number)
            return notANumber();
        storeLightLevel(fields, image, row, *number);
        return std::nullopt;
    }
    case W::Check:
        image[row.address] = fields.value(field) == 1 ? 1 : 0;
        return std::nullopt;
    case W::NightAttenuation:
        if (!WholeText(text))
            return std::nullopt; // stored as 0, the field keeps its text
        if (mode == MappingMode::FileSave && isAbove(LeadingNumber(text), 255)) {
            text = QStringLiteral("100");
            if (fixTexts)
                fields.setText(field, text);
        }
        return storeUnmaskedByte(image, row, text, scaledWhole(LeadingNumber(text)));
    case W::Minutes: {
        auto number = WholeText(text);
        if (!number) {
            text = QStringLiteral("0");
            if (fixTexts)
                fields.setText(field, text);
            number = DecimalNumber();
        }
        const std::optional<qint64> v = scaledWhole(*number);
        if (!v)
            return tooLarge(text);
        image[row.address] = *v / 256;
        image[row.address + 1] = *v % 256;
        if (*v < 0 || *v > 65535)
            return QCoreApplication::translate("ParameterMap", "%1 is outside 0 to 65535").arg(*v);
        return std::nullopt;
    }
    case W::Pulse:
        if (!WholeText(text)) {
            text = QStringLiteral("0");
            if (fixTexts)
                fields.setText(field, text);
        }
        return storeUnmaskedByte(image, row, text, scaledWhole(LeadingNumber(text)));
    case W::Identifier: {
        // A text shorter than the 16 cells is padded. Where the identifier already
        // marks unused cells as zero bytes (it shows the placeholder) the technician
        // has deleted some of them, and the pad stays 0; a name typed without any
        // placeholder is padded with spaces, as it always has been.
        const qint64 pad = text.contains(QChar(kZeroBytePlaceholder)) ? 0 : ' ';
        for (int k = 0; k < kIdentifierLength; ++k)
            image[row.address + k] = k < text.size() ? identifierCode(text.at(k)) : pad;
        return std::nullopt;
    }
    }
    return std::nullopt;
}

// The label as a status text shows it: a run of spaces that places a field inside a
// caption is closed up.
QString labelCaption(Fields &fields, const ParameterRow &row)
{
    QString caption = fields.caption(name(row.label)).trimmed();
    if (caption.isEmpty())
        caption = name(row.field);
    // One per thread: a pattern compiles on first use, which is no read-only affair.
    static thread_local const QRegularExpression spaceRun(QStringLiteral(" {3,}"));
    return caption.replace(spaceRun, QStringLiteral(" "));
}

WriteProblem problemAt(Fields &fields, const ParameterRow &row, const QString &what)
{
    const QString caption = labelCaption(fields, row);
    return WriteProblem{name(row.field), caption, caption + QStringLiteral(": ") + what};
}

bool isByte(qint64 cell)
{
    return cell >= 0 && cell <= 255;
}

} // namespace

std::span<const ParameterRow> parameterRows()
{
    return kRows;
}

const ParameterRow *parameterRowAt(int address)
{
    for (const ParameterRow &row : kRows) {
        if (address >= row.address && address < row.address + row.width)
            return &row;
    }
    return nullptr;
}

void ReadMapping(Fields &fields, const ParameterImage &image, MappingMode mode)
{
    // The light levels below convert with the sensor type of this image.
    const ParameterRow *sensor = parameterRowAt(41);
    showRow(fields, *sensor, image, mode);
    for (const ParameterRow &row : kRows) {
        if (&row == sensor)
            continue;
        if (mode == MappingMode::FileOpen && row.address >= kFirstManufacturingCell &&
            row.address <= kLastManufacturingCell)
            continue;
        showRow(fields, row, image, mode);
    }
}

ParameterImage WriteMapping(Fields &fields, MappingMode mode)
{
    ParameterImage image{};
    for (const ParameterRow &row : kRows)
        storeRow(fields, row, mode, true, image);
    return image;
}

std::optional<WriteProblem> checkImageForWrite(Fields &fields, const ParameterImage &image,
                                               const std::function<bool(int)> &present)
{
    for (int address = 0; address < int(image.size()); ++address) {
        const ParameterRow *row = parameterRowAt(address);
        if (!row) {
            if (present(address) && !isByte(image[address])) {
                const QString what =
                    QCoreApplication::translate("ParameterMap", "Cell %1: %2 is outside 0 to 255")
                        .arg(address)
                        .arg(image[address]);
                return WriteProblem{QString(), QString(), what};
            }
            continue;
        }
        bool anyPresent = false;
        for (int k = 0; k < row->width; ++k)
            anyPresent = anyPresent || present(row->address + k);
        if (anyPresent) {
            ParameterImage scratch{};
            if (const Trouble trouble = storeRow(fields, *row, MappingMode::WriteAll, false, scratch))
                return problemAt(fields, *row, *trouble);
            for (int k = 0; k < row->width; ++k) {
                const qint64 cell = image[row->address + k];
                if (!present(row->address + k) || isByte(cell))
                    continue;
                if (row->store == W::Index && cell < 0)
                    return problemAt(fields, *row, QCoreApplication::translate("ParameterMap", "no choice"));
                return problemAt(
                    fields, *row,
                    QCoreApplication::translate("ParameterMap", "%1 is outside 0 to 255").arg(cell));
            }
        }
        address = row->address + row->width - 1;
    }
    return std::nullopt;
}
