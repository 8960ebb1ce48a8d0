#pragma once
// The program's windows by name. Each exists at most once: it is created
// on first use (its constructor does its loading) and destroyed when
// unloaded or closed by the user.

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace ledger {

class FormRegistry {
 public:
  using Factory = std::function<QWidget*()>;
  using LoadedHook = std::function<void(const QString& name, QWidget* form)>;

  // Tells the registry how to make the form called name.
  void define(const QString& name, Factory factory);

  // The loaded form, or nullptr.
  QWidget* find(const QString& name) const;
  // The form, created now if it is not loaded. nullptr for an unknown name.
  QWidget* load(const QString& name);
  // Loads the form if needed, then shows it and brings it forward.
  QWidget* show(const QString& name);
  // Destroys the form if it is loaded. Safe to call from the form's own
  // handlers: the window goes at once from view and from the registry and
  // is deleted when control returns to the event loop.
  void unload(const QString& name);
  // Names of the loaded forms, in the order they were loaded.
  QStringList loaded() const;
  void unloadAll();

  template <typename T>
  T* find(const QString& name) const { return qobject_cast<T*>(find(name)); }
  template <typename T>
  T* load(const QString& name) { return qobject_cast<T*>(load(name)); }

  // Called with each form just after it is made (its load step done), so
  // that a saved place and size can be put back.
  void setLoadedHook(LoadedHook hook) { m_loadedHook = std::move(hook); }

  // The window that frames a form: its MDI sub-window, or the form itself.
  static QWidget* frameOf(QWidget* form);

 private:
  QHash<QString, Factory> m_factories;
  QHash<QString, QPointer<QWidget>> m_forms;
  QStringList m_order;
  LoadedHook m_loadedHook;
};

}  // namespace ledger
