#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// One parameter of a program message unit, as the client wrote it.
struct ScpiParameter
{
    enum class Kind { Number, String, Word };
    Kind kind = Kind::Word;
    QString text; // a string's contents without its quotes; a word or number as written
    double number = 0; // for a number
    int decimals = 0; // a number's places after the point as written, e.g. 2 for 3.050E1 and 1.25
    QString suffix; // a number's unit as written after it, upper case: "CEL" for 45CEL and 45 CEL
};

// One unit of a line: a command of the table, or the error that stood in its place.
struct ScpiUnit
{
    int command = -1; // index into the parser's headers; -1 for an error
    QVector<ScpiParameter> parameters;
    int error = 0;
    QString errorText;
};

// Turns one line of a client's message into the units it holds, separated by ';'. Headers are matched
// against a table of SCPI patterns, e.g. "SYSTem:ERRor[:NEXT]?": upper-case letters make the short form,
// the whole word the long one, brackets an optional node, a trailing '?' the query form. Matching ignores
// case and a leading colon. Every byte of the line is judged: the bytes 00-09 and 0B-20 hex are white
// space, as IEEE 488.2 defines it, so a line parses exactly as it would with each of them a space. Pure:
// no sockets, no state between lines.
class ScpiParser
{
public:
    explicit ScpiParser(const QStringList &patterns);

    QVector<ScpiUnit> parse(const QByteArray &line) const;
    // IEEE 488.2's white space: every byte up to 20 hex but the newline that ends a message.
    static bool isWhiteSpace(QChar c);

private:
    struct Node
    {
        QString shortForm;
        QString longForm;
        bool optional = false;
    };
    struct Pattern
    {
        QVector<Node> nodes;
        bool query = false;
    };

    ScpiUnit parseUnit(const QString &unit) const;
    int match(const QStringList &mnemonics, bool query) const;
    static bool matches(const QVector<Node> &nodes, int node, const QStringList &mnemonics, int at);

    QVector<Pattern> m_patterns;
};
