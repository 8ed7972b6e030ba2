#include "QtText.h"

#include "catalogue/Windows1252.h"

#include <QFile>

namespace brimble {

QString FromWindows1252(std::string_view bytes) {
    const std::string utf8 = Windows1252ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToWindows1252(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToWindows1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

std::filesystem::path ToPath(const QString& text) {
#ifdef _WIN32
    return std::filesystem::path(text.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(text).toStdString());
#endif
}

} // namespace brimble
