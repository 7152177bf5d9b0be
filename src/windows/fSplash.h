#pragma once

#include <QWidget>
#include <chrono>

class QLabel;
class QTimer;

/// The small window shown while the program starts: the program title, the maker
/// line and a legal notice. After a fixed delay it reports ReadyToClose, which the
/// start-up sequence waits for; it never closes itself when the delay ends, only
/// when it loses the focus (it then deletes itself, as it was unloaded).
class fSplash : public QWidget {
    Q_OBJECT
public:
    /// The delay before ReadyToClose turns true; zero means ready at once (no timer).
    explicit fSplash(std::chrono::milliseconds delay = std::chrono::milliseconds(2000),
                     QWidget* parent = nullptr);

    /// Whether the delay has passed.
    bool ReadyToClose() const { return readyToClose_; }

    QLabel* lblprogramname() const { return lblprogramname_; }
    QLabel* lblcompanyname() const { return lblcompanyname_; }
    QLabel* lblLegal() const { return lblLegal_; }
    QTimer* tmrDelay() const { return tmrDelay_; }

    /// The window's words, shared with whoever needs to show them elsewhere.
    static QString MakerLine();
    static QString LegalNotice();

signals:
    /// Emitted once, when ReadyToClose turns true.
    void Ready();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void tmrDelay_Timer();
    void LayoutLabels();
    int CentredLeft(int childWidth) const;

    QLabel* lblprogramname_ = nullptr;
    QLabel* lblcompanyname_ = nullptr;
    QLabel* lblLegal_ = nullptr;
    QTimer* tmrDelay_ = nullptr;
    bool readyToClose_ = false;
};
