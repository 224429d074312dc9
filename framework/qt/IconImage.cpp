#include "framework/qt/IconImage.h"

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>

namespace framework::qt {
namespace {

bool LooksLikeSvg(const std::string& data) {
    return data.find("<svg") != std::string::npos;
}

}  // namespace

QPixmap RenderIcon(IconHandle icon, int size) {
    const std::string* data = FindIconData(icon);
    if (data == nullptr || size <= 0) return {};
    const QByteArray bytes(data->data(), static_cast<qsizetype>(data->size()));
    if (!LooksLikeSvg(*data)) {
        QPixmap image;
        if (!image.loadFromData(bytes)) return {};
        return image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    QSvgRenderer renderer(bytes);
    if (!renderer.isValid()) return {};
    QPixmap image(size, size);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    renderer.render(&painter);
    return image;
}

QIcon MakeIcon(IconHandle icon) {
    QIcon result;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QPixmap image = RenderIcon(icon, size);
        if (image.isNull()) return {};
        result.addPixmap(image);
    }
    return result;
}

}  // namespace framework::qt
