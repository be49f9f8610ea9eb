#pragma once
// Creating the editor by its registered name, as a host does.
//
// The control library offers four entry points, the counterpart of an
// in-process component server's: RegisterServer makes "Zonitra.Ctr_Secteur"
// creatable, UnregisterServer withdraws it, GetClassObject hands out the
// factory of a registered name, CanUnloadNow tells whether no component made
// through the registry is still alive. Hosts call RegisterServer once, then
// CreateComponent. All of it is meant for the user-interface thread.

#include <QWidget>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zonitra {

inline constexpr std::string_view kSecteurComponentName = "Zonitra.Ctr_Secteur";

// An unknown or withdrawn component name.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using ComponentFactory = std::function<QWidget*(QWidget* parent)>;

// Registers every component of this library; registering again does nothing.
void RegisterServer();
// Withdraws them; components already created live on.
void UnregisterServer();
// The factory of a registered name; RegistryError naming it otherwise.
ComponentFactory GetClassObject(std::string_view name);
// True when no component created through the registry is alive.
bool CanUnloadNow();

// Creates the component registered under `name` as a child of `parent`.
// Throws RegistryError naming it when it is not registered.
QWidget* CreateComponent(std::string_view name, QWidget* parent = nullptr);

// Lower-level registration, for libraries that add their own components.
void RegisterComponent(std::string_view name, ComponentFactory factory);
bool UnregisterComponent(std::string_view name);

}  // namespace zonitra
