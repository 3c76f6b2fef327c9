// SPDX-License-Identifier: MIT
// Whether the window manager lists a window among those it manages. The program finds the viewer's window by
// its title in that list, and a window is mapped, even exposed, a moment before its manager lists it: on a
// loaded machine that moment is long enough for the program to look, miss the window, and type its Enter into
// another one. So the viewer answers a request only once its window is both on screen and listed. Changes to
// the list arrive as property events of the root window on a connection of its own; nothing polls.
#pragma once

#include <QObject>
#include <QWindow>
#include <functional>

struct _XDisplay;
class QSocketNotifier;

namespace brelmont::viewer {

class ClientList final : public QObject {
    Q_OBJECT

public:
    // The list of the X display the application shows its windows on. Where there is none, or no EWMH
    // window manager runs, every window counts as listed.
    explicit ClientList(QObject* parent = nullptr);
    // A stand-in: `lists` answers, and Changed() comes from AnnounceChange().
    explicit ClientList(std::function<bool(WId)> lists, QObject* parent = nullptr);
    ~ClientList() override;
    ClientList(const ClientList&) = delete;
    ClientList& operator=(const ClientList&) = delete;

    bool Lists(WId window) const;
    void AnnounceChange() { emit Changed(); }

signals:
    void Changed();

private:
    void ReadEvents();

    std::function<bool(WId)> lists_;
    _XDisplay* display_ = nullptr;
    unsigned long clientListAtom_ = 0;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace brelmont::viewer
