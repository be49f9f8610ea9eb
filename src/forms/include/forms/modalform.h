#pragma once

#include <cstdint>

#include "forms/form.h"

namespace forms {

// A dialog shown modally through UiService::ShowModal. It is a top-level window (a dialog
// of its parent when it has one).
//
// Unloading, by Unload() or by the window's close box, first runs Form_Unload; a handler
// that sets cancel to a non-zero value keeps the form open. Once unloaded the form is hidden
// and the ShowModal that displayed it returns. Escape and Enter do nothing of their own.
// Form_Load runs before the form is shown when it is not loaded yet (first use, or after
// an unload).
class ModalForm : public Form {
    Q_OBJECT
public:
    explicit ModalForm(QWidget* parent = nullptr);

    bool Loaded() const { return loaded_; }
    // Runs Form_Load when not loaded.
    void Load();
    // Returns false when Form_Unload cancelled.
    bool Unload();

signals:
    void Unloaded();

protected:
    virtual void Form_Load() {}
    virtual void Form_Unload(std::int16_t& cancel) { (void)cancel; }

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool loaded_ = false;
    bool unloading_ = false;
};

}  // namespace forms
