#include "ui/text_bridge.h"

#include <QFile>
#include <QStringDecoder>

namespace plovix::ui {

namespace {

// Windows-1252 0x80..0x9F; the code page leaves five of them undefined (shown as U+FFFD).
constexpr char16_t kHighControls[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

}  // namespace

QString toQt(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError()) return text;
    text.clear();
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.append(byte >= 0x80 && byte <= 0x9F ? QChar(kHighControls[byte - 0x80])
                                                 : QChar(static_cast<char16_t>(byte)));
    }
    return text;
}

std::string toCodePage(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = static_cast<char>(u);
        } else {
            for (int i = 0; i < 32; ++i)
                if (kHighControls[i] == u && u != 0xFFFD) byte = static_cast<char>(0x80 + i);
        }
        bytes.push_back(byte);
    }
    return bytes;
}

std::string pathFromQt(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace plovix::ui
