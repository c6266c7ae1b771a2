#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace kronax::test {

// Answers modal dialogs as they appear: each time a new modal widget shows, answer is called
// with it and should close it. The boxes seen are kept as text; polling stops with the object.
class ModalAnswerer {
public:
    // Accepts every message box.
    ModalAnswerer()
        : ModalAnswerer([](QWidget* modal) {
              if (auto* box = qobject_cast<QMessageBox*>(modal))
                  box->accept();
          }) {}

    explicit ModalAnswerer(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                if (auto* box = qobject_cast<QMessageBox*>(modal))
                    boxes.push_back(box->text());
                answer_(modal);
            }
        });
        timer_.start(10);
    }

    std::vector<QString> boxes;

private:
    std::function<void(QWidget*)> answer_;
    QTimer timer_;
};

} // namespace kronax::test
