#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>

#include "pages/name_code_page.h"

namespace {

constexpr const char* kCodecName = "windows-31j";

} // namespace

QString CodePage932Text(const std::string& bytes) {
    QStringDecoder decoder(kCodecName);
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // A Qt without the codec keeps to the characters every code page shares.
    return decoder.isValid() ? decoder.decode(view) : QString::fromLatin1(view);
}

std::optional<std::string> CodePage932Bytes(const QString& text) {
    QStringEncoder encoder(kCodecName);
    if (!encoder.isValid()) {
        for (const QChar c : text) {
            if (c.unicode() < 0x20 || c.unicode() >= 0x7F) {
                return std::nullopt;
            }
        }
        return text.toStdString();
    }
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        return std::nullopt;
    }
    return bytes.toStdString();
}
