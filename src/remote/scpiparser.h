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
// case and a leading colon. Pure: no sockets, no state between lines.
class ScpiParser
{
public:
    explicit ScpiParser(const QStringList &patterns);

    QVector<ScpiUnit> parse(const QByteArray &line) const;

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
