#include "platform/character/MarkedSpeech.h"

namespace folimar::character {

namespace {

// Characters that XML 1.0 cannot hold in a document at all: said as a space.
bool unfitForXml(QChar c) {
    const char16_t u = c.unicode();
    return (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE || u == 0xFFFF;
}

void appendEscaped(QString& out, QStringView text) {
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        case u'\'':
            out += QLatin1String("&apos;");
            break;
        default:
            out += unfitForXml(c) ? QChar(u' ') : c;
        }
    }
}

} // namespace

MarkedSpeech markedSpeech(const QString& text) {
    MarkedSpeech speech;
    QString out = QStringLiteral("<speak>");
    const int size = int(text.size());
    int done = 0; // text before this is in `out`
    for (int i = 0; i < size;) {
        if (text.at(i).isSpace()) {
            ++i;
            continue;
        }
        int end = i;
        while (end < size && !text.at(end).isSpace())
            ++end;
        int first = i;
        int last = end;
        while (first < last && text.at(first).isPunct())
            ++first;
        while (last > first && text.at(last - 1).isPunct())
            --last;
        if (first < last) {
            appendEscaped(out, QStringView(text).mid(done, i - done));
            out += QStringLiteral("<mark name=\"%1\"/>").arg(speech.words.size());
            speech.words.append({first, last - first});
            done = i;
        }
        i = end;
    }
    appendEscaped(out, QStringView(text).mid(done));
    out += QLatin1String("</speak>");
    speech.ssml = out.toUtf8();
    return speech;
}

const MarkedSpeech::Word* MarkedSpeech::wordOfMark(const char* name) const {
    bool ok = false;
    const int index = QByteArray(name).toInt(&ok);
    return ok && index >= 0 && index < words.size() ? &words.at(index) : nullptr;
}

} // namespace folimar::character
