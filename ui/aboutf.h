// SPDX-License-Identifier: MIT
// TAbout, the About box: product name, rights line, the maker's support e-mail and web site, the partner's
// site and the licence. Its controls come from aboutf.ui. The start-up creates it hidden right after the main
// window, which shows it modally from its About button; OK and the close box end it with the cancel result,
// Escape does nothing. Each showing starts with the focus on OK, so Enter closes it; the licence text stays
// editable, and Tab leaves it.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TAbout;
}

namespace brelmont {

class TAbout : public QDialog {
    Q_OBJECT

public:
    explicit TAbout(QWidget* parent = nullptr);
    ~TAbout() override;

    Ui::TAbout& Controls() { return *ui; }

    void Button1Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TAbout> ui;
};

} // namespace brelmont
