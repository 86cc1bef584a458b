#pragma once

#include <QDialog>

namespace quorvel {

// The About box, built from its template: the program icon, "Quorvel Version" with the release
// that --version prints, a line on what the program computes, and OK. OK, Enter and Escape
// close it.
class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace quorvel
