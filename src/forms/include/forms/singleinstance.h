#pragma once

#include <QPointer>

#include <utility>

namespace forms {

// One instance of a dialog, created on first use and reused. When the instance has no
// parent the holder deletes it; otherwise its parent does.
template <class T>
class SingleInstance {
public:
    SingleInstance() = default;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    ~SingleInstance() {
        if (instance_ && !instance_->parent()) delete instance_.data();
    }

    // The instance, created with args the first time.
    template <class... Args>
    T& Get(Args&&... args) {
        if (!instance_) instance_ = new T(std::forward<Args>(args)...);
        return *instance_;
    }
    bool Exists() const { return !instance_.isNull(); }
    T* Peek() const { return instance_.data(); }

private:
    QPointer<T> instance_;
};

}  // namespace forms
