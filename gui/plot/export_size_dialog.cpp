#include "gui/plot/export_size_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

namespace quorvel {

namespace {
// From a thumbnail to a poster.
constexpr int kSmallestSide = 320;
constexpr int kLargestSide = 8000;

QSpinBox* sideBox(int value) {
    auto* box = new QSpinBox;
    box->setRange(kSmallestSide, kLargestSide);
    box->setSuffix(QStringLiteral(" px"));
    box->setValue(value);
    return box;
}
}  // namespace

std::optional<QSize> askExportSize(QWidget* parent, QSize initial) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QDialog::tr("Picture Size"));
    auto* width = sideBox(initial.width());
    auto* height = sideBox(initial.height());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QDialog::tr("&Width:"), width);
    form->addRow(QDialog::tr("&Height:"), height);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return QSize(width->value(), height->value());
}

}  // namespace quorvel
