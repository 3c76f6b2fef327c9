// SPDX-License-Identifier: MIT
// Answers the modal dialogs a test provokes, the way a person would, and records what each one said: its
// kind (message, error or other), caption and text. Runs from a zero-interval timer while the dialog's own
// loop is running.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <string>
#include <vector>

namespace brelmont::testing {

struct SeenDialog {
    std::string objectName;
    std::string caption;
    std::string text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::WindowModality modality = Qt::NonModal;
};

class ModalAnswerer {
public:
    // `answer` closes the dialog; the default presses Enter on it.
    explicit ModalAnswerer(std::function<void(QWidget&)> answer = PressEnter) : fAnswer(std::move(answer)) {
        fTimer.setInterval(0);
        QObject::connect(&fTimer, &QTimer::timeout, [this] { Poll(); });
        fTimer.start();
    }

    const std::vector<SeenDialog>& Seen() const { return fSeen; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const SeenDialog& seen : fSeen) {
            texts.push_back(seen.text);
        }
        return texts;
    }

    static void PressEnter(QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); }
    static void PressEscape(QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == fLast) {
            return;
        }
        fLast = modal;
        SeenDialog seen;
        seen.objectName = modal->objectName().toStdString();
        seen.caption = modal->windowTitle().toStdString();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.text = box->text().toStdString();
            seen.icon = box->icon();
        } else if (auto* label = modal->findChild<QLabel*>(QStringLiteral("MessageText"))) {
            seen.text = label->text().toStdString();
        }
        seen.modality = modal->windowModality();
        fSeen.push_back(seen);
        QPointer<QWidget> answered = modal;
        fAnswer(*modal);
        // The same window shown again later is a new showing to answer.
        if (answered == nullptr || !answered->isVisible()) {
            fLast = nullptr;
        }
    }

    std::function<void(QWidget&)> fAnswer;
    QTimer fTimer;
    QPointer<QWidget> fLast;
    std::vector<SeenDialog> fSeen;
};

} // namespace brelmont::testing
