#pragma once
// The demo host's window: the sector editor, created by its registered name,
// fills it. The window tells when it closes, whatever closed it (the editor's
// "Sortir" unloads it; the close box closes it too).

#include <QMainWindow>

namespace zonitra {
class Ctr_Secteur;
}

namespace host {

class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    // Throws zonitra::RegistryError when the component is not registered.
    HostWindow();

    zonitra::Ctr_Secteur* Editor() const { return editor_; }

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    zonitra::Ctr_Secteur* editor_;
};

}  // namespace host
