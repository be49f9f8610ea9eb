#include "control/registry.h"

#include <map>
#include <mutex>

#include "control/ctr_secteur.h"

namespace zonitra {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, ComponentFactory, std::less<>> factories;
    int alive = 0;  // components created here and not yet destroyed
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

void RegisterComponent(std::string_view name, ComponentFactory factory) {
    if (!factory) throw RegistryError("component " + std::string(name) + ": empty factory");
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.factories.insert_or_assign(std::string(name), std::move(factory));
}

bool UnregisterComponent(std::string_view name) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto found = registry.factories.find(name);
    if (found == registry.factories.end()) return false;
    registry.factories.erase(found);
    return true;
}

void RegisterServer() {
    RegisterComponent(kSecteurComponentName,
                      [](QWidget* parent) -> QWidget* { return new Ctr_Secteur(parent); });
}

void UnregisterServer() {
    UnregisterComponent(kSecteurComponentName);
}

ComponentFactory GetClassObject(std::string_view name) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto found = registry.factories.find(name);
    if (found == registry.factories.end()) {
        throw RegistryError("component " + std::string(name) + " is not registered");
    }
    return found->second;
}

bool CanUnloadNow() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.alive == 0;
}

QWidget* CreateComponent(std::string_view name, QWidget* parent) {
    ComponentFactory factory = GetClassObject(name);
    QWidget* component = factory(parent);
    if (!component) throw RegistryError("component " + std::string(name) + " could not be created");
    Registry& registry = TheRegistry();
    {
        std::lock_guard lock(registry.mutex);
        ++registry.alive;
    }
    QObject::connect(component, &QObject::destroyed, [] {
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        --r.alive;
    });
    return component;
}

}  // namespace zonitra
