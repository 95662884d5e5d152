#pragma once

#include <QJsonObject>
#include <QStringList>

// What a command prints on standard output: lines of text for a person, or one JSON document
// for a script. Messages and progress never come here; they go to standard error.
class CliReport {
public:
    explicit CliReport(bool json) : json_(json) {}

    bool IsJson() const { return json_; }
    void Line(const QString &text) { lines_.append(text); }
    QJsonObject &Json() { return document_; }
    // Why the command did not end with 0, in its own words, when no message of the core says it.
    void SetReason(const QString &reason) { reason_ = reason; }
    const QString &Reason() const { return reason_; }

    // The whole output, with a line end after each line (text) or after the document (JSON).
    QByteArray Output() const;

private:
    bool json_;
    QStringList lines_;
    QJsonObject document_;
    QString reason_;
};

// Rows of words in columns two spaces apart, each column as wide as its widest word; the last
// column is not padded. Rows are joined by line ends, without one after the last.
QString AlignedColumns(const QList<QStringList> &rows);

// A message for the person at the terminal, on standard error: one line.
void SayOnStandardError(const QString &text);
