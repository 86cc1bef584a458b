#pragma once

#include <QSize>
#include <optional>

class QWidget;

namespace quorvel {

// Asks for the size, in pixels, at which a picture is saved, starting from `initial`; nothing
// when the user cancels.
std::optional<QSize> askExportSize(QWidget* parent, QSize initial);

}  // namespace quorvel
