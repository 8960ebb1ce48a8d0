#include "form_registry.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace ledger {

void FormRegistry::define(const QString& name, Factory factory) { m_factories.insert(name, std::move(factory)); }

QWidget* FormRegistry::find(const QString& name) const {
  const auto it = m_forms.constFind(name);
  return it == m_forms.constEnd() ? nullptr : it->data();
}

QWidget* FormRegistry::load(const QString& name) {
  if (QWidget* form = find(name)) return form;
  const auto factory = m_factories.constFind(name);
  if (factory == m_factories.constEnd()) return nullptr;
  m_order.removeAll(name);
  // Registered before the factory returns would be nicer, but a form's
  // constructor may already look itself up; QPointer tracks it from here.
  QWidget* form = (*factory)();
  if (!form) return nullptr;
  m_forms.insert(name, form);
  m_order.append(name);
  if (m_loadedHook) m_loadedHook(name, form);
  return form;
}

QWidget* FormRegistry::show(const QString& name) {
  QWidget* form = load(name);
  if (!form) return nullptr;
  QWidget* frame = frameOf(form);
  frame->show();
  form->show();
  frame->raise();
  frame->activateWindow();
  if (auto* sub = qobject_cast<QMdiSubWindow*>(frame); sub && sub->mdiArea())
    sub->mdiArea()->setActiveSubWindow(sub);
  return form;
}

void FormRegistry::unload(const QString& name) {
  QPointer<QWidget> form = m_forms.take(name);
  m_order.removeAll(name);
  if (!form) return;
  QWidget* frame = frameOf(form);
  frame->hide();
  frame->deleteLater();
}

QStringList FormRegistry::loaded() const {
  QStringList names;
  for (const QString& name : m_order)
    if (find(name)) names.append(name);
  return names;
}

void FormRegistry::unloadAll() {
  for (const QString& name : loaded()) unload(name);
}

QWidget* FormRegistry::frameOf(QWidget* form) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget())) return sub;
  return form;
}

}  // namespace ledger
