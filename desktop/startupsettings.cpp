#include "desktop/startupsettings.h"

#include "desktop/settingsfolder.h"
#include "files/regularfilereader.h"
#include "files/wholefilewriter.h"
#include "text/visibletext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cctype>
#include <cmath>
#include <limits>

namespace {

constexpr int kValueCount = 5;
// zav.ini holds five short lines. However many blanks stand before its values, it
// is read whole up to this size; a value that is not complete within it is not taken.
constexpr qint64 kMaxRead = 1024 * 1024;

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Splits the content into at most five raw values. A value starts after the
// separator of the previous one; the file ending before a value starts means
// that value is missing.
class ValueReader
{
public:
    // cut: the content is only the start of the file, so a value running into its end
    // may go on beyond it.
    ValueReader(const QByteArray &content, bool cut) : m_data(content), m_cut(cut) {}

    bool next(QByteArray *value)
    {
        while (m_pos < m_data.size() && isBlank(m_data.at(m_pos)))
            ++m_pos;
        if (m_pos >= m_data.size())
            return false;
        if (m_data.at(m_pos) == '"') {
            const qsizetype start = ++m_pos;
            while (m_pos < m_data.size() && m_data.at(m_pos) != '"' && !isLineEnd(m_data.at(m_pos)))
                ++m_pos;
            *value = m_data.mid(start, m_pos - start);
            // Whatever stands between the closing quote and the separator is dropped.
            while (m_pos < m_data.size() && m_data.at(m_pos) != ',' && !isLineEnd(m_data.at(m_pos)))
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_data.size() && m_data.at(m_pos) != ',' && !isLineEnd(m_data.at(m_pos)))
                ++m_pos;
            qsizetype end = m_pos;
            while (end > start && isBlank(m_data.at(end - 1)))
                --end;
            *value = m_data.mid(start, end - start);
        }
        if (m_cut && m_pos >= m_data.size())
            return false;
        skipSeparator();
        return true;
    }

private:
    void skipSeparator()
    {
        if (m_pos >= m_data.size())
            return;
        const char c = m_data.at(m_pos++);
        if (c == '\r' && m_pos < m_data.size() && m_data.at(m_pos) == '\n')
            ++m_pos;
    }

    const QByteArray &m_data;
    bool m_cut = false;
    qsizetype m_pos = 0;
};

// The number the text starts with, rounded half to even; a text without a
// leading number reads as 0. Returns false when the value does not fit [low, high].
bool readNumber(const QByteArray &text, qint64 low, qint64 high, qint64 *out)
{
    qsizetype i = 0;
    if (i < text.size() && (text.at(i) == '+' || text.at(i) == '-'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text.at(i))))
        ++i;
    qsizetype intDigits = i - digitsStart;
    qsizetype fracDigits = 0;
    if (i < text.size() && text.at(i) == '.') {
        const qsizetype fracStart = ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text.at(i))))
            ++i;
        fracDigits = i - fracStart;
    }
    if (intDigits == 0 && fracDigits == 0) {
        *out = 0;
        return true;
    }
    if (i < text.size() && (text.at(i) == 'e' || text.at(i) == 'E')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text.at(j) == '+' || text.at(j) == '-'))
            ++j;
        const qsizetype expStart = j;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text.at(j))))
            ++j;
        if (j > expStart)
            i = j;
    }
    bool ok = false;
    const double number = text.left(i).toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    // The default rounding mode rounds a half to the even neighbour.
    const double rounded = std::nearbyint(number);
    if (rounded < double(low) || rounded > double(high))
        return false;
    *out = qint64(rounded);
    return true;
}

template <typename T>
void readField(const QByteArray &text, const char *name, T *field, QStringList *problems)
{
    qint64 value = 0;
    if (readNumber(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), &value)) {
        *field = T(value);
        return;
    }
    problems->append(QCoreApplication::translate("StartupSettings", "%1 %2 out of range, %3 used")
                         .arg(QLatin1String(name), visibleText(QString::fromLatin1(text.left(40))))
                         .arg(qint64(*field)));
}

} // namespace

SettingsRead parseSettings(const QByteArray &content, bool cut)
{
    SettingsRead read;
    StartupSettings &s = read.settings;
    QStringList problems;
    ValueReader reader(content, cut);
    QByteArray value;
    int count = 0;
    for (; count < kValueCount && reader.next(&value); ++count) {
        switch (count) {
        case 0:
            readField(value, "PortNumber", &s.PortNumber, &problems);
            break;
        case 1:
            readField(value, "Spare1", &s.Spare1, &problems);
            break;
        case 2:
            readField(value, "Spare2", &s.Spare2, &problems);
            break;
        case 3:
            // The system's single-byte code page; Latin-1 keeps every byte.
            s.LanguageCode = QString::fromLatin1(value);
            break;
        case 4:
            readField(value, "FactoryCode", &s.FactoryCode, &problems);
            break;
        }
    }
    if (count < kValueCount && cut)
        problems.append(
            QCoreApplication::translate(
                "StartupSettings", "%1 of 5 values within its first %2 bytes, defaults used for the rest")
                .arg(count)
                .arg(content.size()));
    else if (count < kValueCount)
        problems.append(
            QCoreApplication::translate("StartupSettings", "%1 of 5 values read, defaults used for the rest")
                .arg(count));
    read.problem = problems.join(QLatin1String("; "));
    return read;
}

SettingsRead readSettingsFile(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        SettingsRead read;
        read.problem = QCoreApplication::translate("StartupSettings", "%1 not found, defaults used")
                           .arg(QFileInfo(path).fileName());
        return read;
    }
    const RegularFileRead file =
        RegularFileReader::read(path, kMaxRead, RegularFileReader::Oversize::KeepStart);
    if (!file.bytes) {
        SettingsRead read;
        read.problem = QCoreApplication::translate("StartupSettings", "%1 cannot be read (%2), defaults used")
                           .arg(QFileInfo(path).fileName(), file.error);
        return read;
    }
    SettingsRead read = parseSettings(*file.bytes, file.cut);
    if (!read.problem.isEmpty())
        read.problem = QFileInfo(path).fileName() + QLatin1String(": ") + read.problem;
    return read;
}

QByteArray formatSettings(const StartupSettings &settings)
{
    QByteArray out;
    out += QByteArray::number(settings.PortNumber) + "\r\n";
    out += QByteArray::number(settings.Spare1) + "\r\n";
    out += QByteArray::number(settings.Spare2) + "\r\n";
    // Quotes hold anything but a quote. A string with a quote in it was read without
    // them (1,0,0,a"b,0), and reads back the same when written so again.
    const QByteArray language = settings.LanguageCode.toLatin1();
    out += language.contains('"') ? language + "\r\n" : '"' + language + "\"\r\n";
    out += QByteArray::number(settings.FactoryCode) + "\r\n";
    return out;
}

bool writeSettingsFile(const QString &path, const StartupSettings &settings, QString *error)
{
    // A rewrite never changes a stored value: a string that no form reads back
    // (a quote beside a comma, a line end, a character outside Latin-1) is refused.
    const QByteArray bytes = formatSettings(settings);
    if (parseSettings(bytes).settings != settings) {
        if (error)
            *error = QStringLiteral("LanguageCode %1 cannot be written so that it reads back the same")
                         .arg(visibleText(settings.LanguageCode.left(40)));
        return false;
    }
    // Written beside and renamed over the old file, so a failed or interrupted write
    // (a full disk) leaves the previous content rather than a truncated file.
    return WholeFileWriter::writeFile(path, bytes, error);
}

QString perUserSettingsFile(const QString &seed)
{
    const QString folder = perUserSettingsFolder();
    const QString path = folder + QLatin1String("/zav.ini");
    if (!QFileInfo::exists(path) && QDir().mkpath(folder)) {
        // The seed's values as this tool writes them; without a seed, the defaults.
        QString error;
        writeSettingsFile(path, readSettingsFile(seed).settings, &error);
    }
    return path;
}

QString settingsFilePath()
{
    const QString overridden = qEnvironmentVariable("ZAV_INI");
    if (!overridden.isEmpty())
        return overridden;
    const QString folder = QCoreApplication::applicationDirPath();
    const QString beside = folder + QLatin1String("/zav.ini");
    // An installed tool's folder belongs to the administrator: each user keeps a copy of his own.
    if (folderTakesFiles(folder))
        return beside;
    return perUserSettingsFile(beside);
}
