#pragma once
// The service's line-record replies: one record per line, fields separated by "<!--SEP-->".
#include <QString>
#include <QStringList>

// Cuts text into lines; a line ends at CR LF, LF or CR. A break at the very end starts no
// further line, and empty text has no line at all.
QStringList SplitLines(const QString &text);
// The fields of one record: every marker becomes a line break, then the lines are cut again.
QStringList RecordFields(const QString &line);
// Field n of a record as a 32-bit decimal integer (an optional sign, then digits). A missing
// field or anything else raises EConvertError.
qint32 RecordInteger(const QStringList &fields, int n);
// Field n as text; a missing field raises EConvertError.
QString RecordText(const QStringList &fields, int n);
