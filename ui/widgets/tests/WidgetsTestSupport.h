// SPDX-License-Identifier: MIT
// Pointer input for the widget tests, sent through the window so that Qt's own hit testing, masks, implicit
// grab and enter/leave dispatch take part, as they do for a real pointer.
#pragma once

#include "ui/widgets/UrlLabel.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace brelmont::testing {

class RecordingOpener : public IUrlOpener {
public:
    bool Open(const QString& address) override {
        Opened.push_back(address);
        if (Log != nullptr) {
            Log->push_back("open " + address.toStdString());
        }
        return true;
    }
    std::vector<QString> Opened;
    std::vector<std::string>* Log = nullptr;
};

// A shown, active top-level window and a pointer that moves inside it.
class PointerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetUrlOpener(&opener);
        opener.Log = &log;
        form = std::make_unique<QWidget>();
        form->resize(200, 120);
    }
    void TearDown() override {
        form.reset();
        SetUrlOpener(nullptr);
    }
    void Show() {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        // Start outside every control, so the first move is an entry.
        QTest::mouseMove(Window(), QPoint(199, 119));
    }
    QWindow* Window() const { return form->windowHandle(); }
    QPoint At(const QWidget* widget, QPoint local) const { return widget->mapTo(form.get(), local); }
    void Move(const QWidget* widget, QPoint local) { QTest::mouseMove(Window(), At(widget, local)); }
    void Press(const QWidget* widget, QPoint local) {
        QTest::mousePress(Window(), Qt::LeftButton, {}, At(widget, local));
    }
    void Release(const QWidget* widget, QPoint local) {
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, At(widget, local));
    }
    void Click(const QWidget* widget, QPoint local) {
        QTest::mouseClick(Window(), Qt::LeftButton, {}, At(widget, local));
    }
    void DoubleClick(const QWidget* widget, QPoint local) {
        QTest::mouseDClick(Window(), Qt::LeftButton, {}, At(widget, local));
    }

    RecordingOpener opener;
    std::vector<std::string> log;
    std::unique_ptr<QWidget> form;
};

} // namespace brelmont::testing
