#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <functional>
#include <vector>

namespace quorvel::testing {

// Watches for modal windows while a test drives code that opens them: each one is recorded and
// then closed by `close` (by default: its OK button, or Escape), so no test waits on a box.
// Polls every 10 ms for as long as it lives.
class ModalWatcher {
  public:
    struct Seen {
        QString className;
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QWidget* parent = nullptr;
        QWidget* window = nullptr;
    };

    explicit ModalWatcher(std::function<void(QWidget*)> close = {}) : close_(std::move(close)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    const std::vector<Seen>& seen() const { return seen_; }

  private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible() ||
            modal->windowModality() != Qt::ApplicationModal) {
            return;
        }
        Seen seen{QString::fromUtf8(modal->metaObject()->className()),
                  modal->windowTitle(),
                  QString(),
                  QMessageBox::NoIcon,
                  {},
                  modal->parentWidget(),
                  modal};
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.text = box->text();
            seen.icon = box->icon();
            seen.buttons = box->standardButtons();
        }
        seen_.push_back(seen);
        if (close_) {
            close_(modal);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->button(QMessageBox::Ok)->click();
        } else {
            QTest::keyClick(modal, Qt::Key_Escape);
        }
    }

    std::function<void(QWidget*)> close_;
    QTimer timer_;
    std::vector<Seen> seen_;
};

}  // namespace quorvel::testing
