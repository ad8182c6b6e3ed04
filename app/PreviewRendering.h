#pragma once
// How the preview's web view is drawn. Qt Quick, which the view draws through, composes the
// window with OpenGL once it is used; where OpenGL is itself software (Mesa's llvmpipe and its
// kind, or no OpenGL at all), that composition costs every repaint of the window more than it
// saves, and Qt Quick's software renderer is the cheaper path.

#include <QString>
#include <optional>

namespace quillet {

enum class PreviewRendering { software, gl };

// `glRenderer`: the desktop's GL_RENDERER, none when no OpenGL context could be made.
// `override`: QUILLET_PREVIEW_RENDERING ("software" or "gl"; anything else is ignored).
PreviewRendering choosePreviewRendering(const std::optional<QString>& glRenderer, const QString& override);

// The renderer string of an OpenGL context made on an offscreen surface, if one can be made.
std::optional<QString> desktopGLRenderer();

// Decides once, before the first web view is made; a QT_QUICK_BACKEND the user set is kept.
void preparePreviewRendering();

} // namespace quillet
