// The process-wide binding of the window operations.
#include "app/window_ops.h"

#include <cstdlib>
#include <utility>

namespace dsr {
namespace {

WindowOperations& Bound() {
  static WindowOperations ops;
  return ops;
}

}  // namespace

void UseWindowOperations(WindowOperations ops) { Bound() = std::move(ops); }

Text ReadEditText(Control box) {
  auto& f = Bound().readEditText;
  return f ? f(box) : Text();
}

Text ReadLabelCaption(Control label) {
  auto& f = Bound().readLabelCaption;
  return f ? f(label) : Text();
}

void SetLabelCaption(Control label, std::string_view text) {
  if (auto& f = Bound().setLabelCaption) f(label, text);
}

void SetLabelVisible(Control label, bool visible) {
  if (auto& f = Bound().setLabelVisible) f(label, visible);
}

void ShowMessageBox(std::string_view text) {
  if (auto& f = Bound().showMessageBox) f(text);
}

void EndProgram() {
  if (auto& f = Bound().endProgram) f();
  // An operation that came back, or none bound: end as designed.
  std::exit(0);
}

void RunPendingEvents() {
  if (auto& f = Bound().runPendingEvents) f();
}

void OpenAddress(std::string_view address) {
  if (auto& f = Bound().openAddress) f(address);
}

}  // namespace dsr
