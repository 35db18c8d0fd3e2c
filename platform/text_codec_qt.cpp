#include "platform/text_codec_qt.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// Controls keep lines apart with LF alone (the plain-text editors also use
// U+2029 inside); the program's texts use CR LF.
QString to_control_line_ends(QString s) {
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

} // namespace

Text text_from_qstring(const QString& s) {
    QString lines = s;
    lines.replace(QChar(0x2029), QLatin1Char('\n'));
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QStringEncoder encoder("GB18030");
    if (!encoder.isValid()) {
        // Only a toolkit built without ICU lacks it; keep what plain ASCII gives.
        const QByteArray ascii = lines.toLatin1();
        return Text(ascii.constData(), std::size_t(ascii.size()));
    }
    const QByteArray bytes = encoder.encode(lines);
    return Text(bytes.constData(), std::size_t(bytes.size()));
}

QString qstring_from_text(const Text& text) {
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return to_control_line_ends(QString::fromLatin1(text.data(), qsizetype(text.size())));
    QString s = decoder.decode(QByteArrayView(text.data(), qsizetype(text.size())));
    return to_control_line_ends(s);
}

QString qstring_from_literal(std::string_view utf8) {
    return to_control_line_ends(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}
