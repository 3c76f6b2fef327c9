// SPDX-License-Identifier: MIT
// TMain, the main window: banner, toolbar, the three input and four result fields and the pop-up command
// panel. Its controls come from Mainf.ui; its handlers are thin and named after control and event: they show
// and hide the command panel, put a hint into the hint line HElP, and call the calculation commands, the help
// delivery and the About box. The start-up in app/ creates it first (its creation unpacks the help) and the
// program ends when it closes (its close removes the work folder).
#pragma once

#include "stakecalc/Commands.h"

#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class TMain;
}

namespace brelmont {

class TAbout;
class RiskChartOpener;
class SeveralBetsOpener;
class TMainKeys;

// What the window asks of the help delivery. The program uses the real routines; tests record the calls.
struct HelpHooks {
    std::function<void()> Unpack;
    std::function<void()> RemoveFolder;
    std::function<void()> Show; // the Help button's ShowHelp
};
HelpHooks RealHelpHooks();

class TMain : public QWidget, private CalcFields {
    Q_OBJECT

public:
    // Builds the controls and runs FormCreate; an error there goes to the error box and the window is
    // created anyway.
    explicit TMain(HelpHooks help = RealHelpHooks(), QWidget* parent = nullptr);
    ~TMain() override;

    // The About box that ImageBtn4 shows modally; the start-up creates it after this window.
    void SetAbout(TAbout* about) { fAbout = about; }

    // The controls, by their design names.
    Ui::TMain& Controls() { return *ui; }
    // The keyboard's way through the window: Enter in the fields, the panel's arrows, the shortcuts.
    TMainKeys& Keys() { return *fKeys; }

    // The risk chart offered in the result fields' context menus.
    RiskChartOpener& RiskChart() { return *fRiskChart; }
    // The window "Несколько ставок", offered in the same menus.
    SeveralBetsOpener& SeveralBets() { return *fSeveralBets; }

    void FormCreate();
    void FormClose();
    void FormClick();
    void FormKeyDown(int key);
    void Btn1Click();
    void Btn1MouseMove();
    void Btn1MouseLeave();
    void ImageBtn2MouseMove();
    void ImageBtn2MouseLeave();
    void ImageBtn6MouseMove();
    void ImageBtn6MouseLeave();
    void ImageBtn3MouseMove();
    void ImageBtn3MouseLeave();
    void ImageBtn4MouseMove();
    void ImageBtn4MouseLeave();
    void ImageBtn5MouseMove();
    void ImageBtn5MouseLeave();
    void ImageBtn2Click();
    void ImageBtn6Click();
    void ImageBtn4Click();
    void ImageBtn5Click();
    void Label15Click();
    void Label16Click();
    void Label15MouseMove();
    void Label15MouseLeave();
    void Label16MouseMove();
    void Label16MouseLeave();
    void UrlLabel1MouseMove();
    void UrlLabel2MouseExit();
    void Panel12MouseMove();
    void HElPMouseMove();

signals:
    // The window has closed and run FormClose: the program ends.
    void Closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::string FieldText(int field) const override;
    void SetFieldText(int field, const std::string& text) override;
    void ShowMessage(const std::string& text) override;

    void Bind();
    void HidePanel();
    void SetHint(const QString& text);
    void SetPanelColour(QWidget& panel, bool hover);

    std::unique_ptr<Ui::TMain> ui;
    HelpHooks fHelp;
    TAbout* fAbout = nullptr;
    RiskChartOpener* fRiskChart = nullptr;
    SeveralBetsOpener* fSeveralBets = nullptr;
    TMainKeys* fKeys = nullptr;
    bool fClosed = false;
};

} // namespace brelmont
