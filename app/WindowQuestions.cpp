#include "app/WindowQuestions.h"

#include "app/WindowLook.h"

#include <QMessageBox>
#include <QPushButton>

namespace kronax {

Answer AskQuestion(QWidget* owner, const QString& caption, const Question& question) {
    QMessageBox box(QMessageBox::Question, caption, QString::fromStdString(question.text),
                    QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    QPushButton* accept =
        box.addButton(QString::fromStdString(question.accept), QMessageBox::AcceptRole);
    QPushButton* alternative = question.alternative.empty()
                                   ? nullptr
                                   : box.addButton(QString::fromStdString(question.alternative),
                                                   QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(accept);
    box.setEscapeButton(cancel);
    UseWindowLook(&box);
    box.exec();
    if (box.clickedButton() == accept)
        return Answer::Accept;
    if (alternative && box.clickedButton() == alternative)
        return Answer::Alternative;
    return Answer::Cancel;
}

} // namespace kronax
