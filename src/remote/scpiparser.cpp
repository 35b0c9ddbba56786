#include "scpiparser.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

ScpiUnit failed(int code, const QString &text)
{
    ScpiUnit unit;
    unit.error = code;
    unit.errorText = text;
    return unit;
}

// Splits at `separator` outside quoted strings; an unterminated quote keeps the rest in one piece.
QStringList splitOutsideQuotes(const QString &text, QChar separator)
{
    QStringList parts;
    QString current;
    QChar quote;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == separator) {
            parts.append(current);
            current.clear();
            continue;
        }
        current.append(c);
    }
    parts.append(current);
    return parts;
}

} // namespace

bool ScpiParser::isWhiteSpace(QChar c)
{
    return c.unicode() <= 0x20 && c.unicode() != '\n';
}

ScpiParser::ScpiParser(const QStringList &patterns)
{
    for (QString text : patterns) {
        Pattern pattern;
        pattern.query = text.endsWith(QLatin1Char('?'));
        if (pattern.query)
            text.chop(1);
        if (text.startsWith(QLatin1Char(':')))
            text.remove(0, 1);
        // "A[:B]:C" becomes A, [B], C.
        text.replace(QLatin1String("[:"), QLatin1String(":["));
        const QStringList words = text.split(QLatin1Char(':'), Qt::SkipEmptyParts);
        for (QString word : words) {
            Node node;
            node.optional = word.startsWith(QLatin1Char('['));
            word.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
            node.longForm = word.toUpper();
            for (const QChar c : qAsConst(word)) {
                if (!c.isLower())
                    node.shortForm.append(c);
            }
            pattern.nodes.append(node);
        }
        m_patterns.append(pattern);
    }
}

QVector<ScpiUnit> ScpiParser::parse(const QByteArray &line) const
{
    QVector<ScpiUnit> units;
    // Every byte counts, NUL included: the QByteArray overload would stop at the first NUL and run what
    // came before it. The control bytes are white space to IEEE 488.2, so they part what they stand between.
    QString text = QString::fromLatin1(line.constData(), line.size());
    std::replace_if(text.begin(), text.end(), isWhiteSpace, QLatin1Char(' '));
    for (const QString &piece : splitOutsideQuotes(text, QLatin1Char(';'))) {
        const QString unit = piece.trimmed();
        if (!unit.isEmpty())
            units.append(parseUnit(unit));
    }
    return units;
}

ScpiUnit ScpiParser::parseUnit(const QString &unit) const
{
    int end = 0;
    while (end < unit.size() && !unit.at(end).isSpace())
        ++end;
    QString header = unit.left(end);
    const QString rest = unit.mid(end).trimmed();

    static const QRegularExpression headerShape(
        QStringLiteral("^(\\*[A-Za-z]+|:?[A-Za-z][A-Za-z0-9]*(:[A-Za-z][A-Za-z0-9]*)*)\\??$"));
    if (!headerShape.match(header).hasMatch())
        return failed(-102, QStringLiteral("Syntax error"));
    const bool query = header.endsWith(QLatin1Char('?'));
    if (query)
        header.chop(1);
    if (header.startsWith(QLatin1Char(':')))
        header.remove(0, 1);
    ScpiUnit result;
    result.command = match(header.toUpper().split(QLatin1Char(':')), query);
    if (result.command < 0)
        return failed(-113, QStringLiteral("Undefined header"));
    if (rest.isEmpty())
        return result;

    static const QRegularExpression number(
        QStringLiteral("^([+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?)(?: ?([A-Za-z]+))?$"));
    static const QRegularExpression word(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    for (const QString &piece : splitOutsideQuotes(rest, QLatin1Char(','))) {
        const QString text = piece.trimmed();
        ScpiParameter parameter;
        if (text.isEmpty())
            return failed(-109, QStringLiteral("Missing parameter"));
        const QChar first = text.at(0);
        if (first == QLatin1Char('"') || first == QLatin1Char('\'')) {
            // A quote inside is written twice.
            if (text.size() < 2 || text.back() != first)
                return failed(-151, QStringLiteral("Invalid string data"));
            const QString inner = text.mid(1, text.size() - 2);
            const QString doubled = QString(2, first);
            if (QString(inner).remove(doubled).contains(first))
                return failed(-151, QStringLiteral("Invalid string data"));
            parameter.kind = ScpiParameter::Kind::String;
            parameter.text = QString(inner).replace(doubled, QString(first));
        } else if (const QRegularExpressionMatch numeric = number.match(text); numeric.hasMatch()) {
            parameter.kind = ScpiParameter::Kind::Number;
            parameter.text = numeric.captured(1);
            parameter.number = parameter.text.toDouble();
            parameter.suffix = numeric.captured(4).toUpper();
            // From the digits, not the double, which cannot tell 30.0000001 from a rounding error.
            QString fraction = numeric.captured(2).section(QLatin1Char('.'), 1);
            while (fraction.endsWith(QLatin1Char('0')))
                fraction.chop(1);
            const int exponent = qBound(-100000, numeric.captured(3).mid(1).toInt(), 100000);
            parameter.decimals = qMax(0, int(fraction.size()) - exponent);
        } else if (text.contains(QLatin1Char(' '))) {
            // "4 5" is two things where one was expected.
            return failed(-102, QStringLiteral("Syntax error"));
        } else if (word.match(text).hasMatch()) {
            parameter.kind = ScpiParameter::Kind::Word;
            parameter.text = text;
        } else {
            return failed(-104, QStringLiteral("Data type error"));
        }
        result.parameters.append(parameter);
    }
    return result;
}

int ScpiParser::match(const QStringList &mnemonics, bool query) const
{
    for (int i = 0; i < m_patterns.size(); ++i) {
        if (m_patterns.at(i).query == query && matches(m_patterns.at(i).nodes, 0, mnemonics, 0))
            return i;
    }
    return -1;
}

bool ScpiParser::matches(const QVector<Node> &nodes, int node, const QStringList &mnemonics, int at)
{
    if (node == nodes.size())
        return at == mnemonics.size();
    const Node &n = nodes.at(node);
    if (n.optional && matches(nodes, node + 1, mnemonics, at))
        return true;
    if (at == mnemonics.size())
        return false;
    const QString &m = mnemonics.at(at);
    return (m == n.shortForm || m == n.longForm) && matches(nodes, node + 1, mnemonics, at + 1);
}
