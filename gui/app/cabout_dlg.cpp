#include "gui/app/cabout_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "gui/dialog/dialog_template.h"
#include "gui/dialog/template_widgets.h"
#include "gui/help/program_resources.h"

namespace quorvel {

namespace {
constexpr int kOkButton = 1;
// An icon control takes the size of its picture, whatever its template rectangle.
constexpr QSize kIconSize{32, 32};
}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const dialog::DialogTemplate& dialogTemplate = dialog::aboutDialogTemplate();
    const TemplateWidgets controls(*this, dialogTemplate);

    const QIcon icon = programIcon();
    setWindowIcon(icon);
    for (std::size_t index = 0; index < controls.widgets().size(); ++index) {
        if (dialogTemplate.controls[index].has(dialog::style::kIcon)) {
            auto* picture = qobject_cast<QLabel*>(controls.widgets()[index]);
            picture->resize(kIconSize);
            picture->setPixmap(icon.pixmap(kIconSize));
        }
    }
    connect(controls.widgetAs<QPushButton>(kOkButton), &QPushButton::clicked, this,
            &QDialog::accept);
}

}  // namespace quorvel
