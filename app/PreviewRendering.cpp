#include "app/PreviewRendering.h"

#include <QLoggingCategory>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <array>
#include <utility>

namespace quillet {

namespace {

Q_LOGGING_CATEGORY(previewRendering, "quillet.preview.rendering", QtWarningMsg)

constexpr std::array kSoftwareRenderers{"llvmpipe", "softpipe", "swrast", "software rasterizer"};

} // namespace

PreviewRendering choosePreviewRendering(const std::optional<QString>& glRenderer, const QString& override) {
    const QString chosen = override.trimmed().toLower();
    if (chosen == QLatin1String("software")) return PreviewRendering::software;
    if (chosen == QLatin1String("gl")) return PreviewRendering::gl;
    if (!glRenderer || glRenderer->trimmed().isEmpty()) return PreviewRendering::software;
    for (const char* name : kSoftwareRenderers) {
        if (glRenderer->contains(QLatin1String(name), Qt::CaseInsensitive)) return PreviewRendering::software;
    }
    return PreviewRendering::gl;
}

std::optional<QString> desktopGLRenderer() {
    QOpenGLContext context;
    if (!context.create()) return std::nullopt;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) return std::nullopt;
    const auto* renderer = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    std::optional<QString> name;
    if (renderer) name = QString::fromUtf8(renderer);
    context.doneCurrent();
    return name;
}

void preparePreviewRendering() {
    static bool prepared = false;
    if (std::exchange(prepared, true)) return;
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) return;
    const QString override = qEnvironmentVariable("QUILLET_PREVIEW_RENDERING");
    const QString chosen = override.trimmed().toLower();
    const bool overridden = chosen == QLatin1String("software") || chosen == QLatin1String("gl");
    const std::optional<QString> renderer = overridden ? std::nullopt : desktopGLRenderer();
    const PreviewRendering decided = choosePreviewRendering(renderer, override);
    qCInfo(previewRendering) << "preview rendering:" << (decided == PreviewRendering::gl ? "gl" : "software")
                             << "GL renderer:"
                             << renderer.value_or(overridden ? QStringLiteral("(not asked)") : QStringLiteral("(none)"));
    if (decided == PreviewRendering::software) QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace quillet
