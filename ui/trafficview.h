#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

class QPlainTextEdit;
class QPoint;

// The traffic record shown live in the Communications page's box TDebug. Lines
// wait in a list and reach the box on the next pass of the event loop (inside
// the reply wait, while the line is quiet), so drawing them never delays a
// frame. The box keeps the last kMaxLines lines; its context menu saves and
// clears them.
class TrafficView : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxLines = 5000;

    explicit TrafficView(QPlainTextEdit *box);

    // The record's sink.
    void append(const QString &line);
    // Every line shown, the waiting ones included.
    QString text();
    void clear();
    // Writes the lines to a file; false, with *error set, when it cannot.
    bool saveTo(const QString &path, QString *error);

    // True (and the reason said in the status line) while the link holds the
    // line: a file dialog then would hold up the running transaction.
    std::function<bool()> refusedWhileBusy;

private:
    void flush();
    void showMenu(const QPoint &pos);
    void save();

    QPlainTextEdit *m_box;
    QStringList m_waiting;
    QTimer m_flush;
};
