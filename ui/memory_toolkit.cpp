#include "ui/memory_toolkit.h"

#include <algorithm>

namespace quorvin {

MemoryToolkit::MemoryToolkit(EventSink& sink) : sink_(sink) {}

MemoryToolkit::ControlState& MemoryToolkit::find(std::string_view name) {
  auto found = controls_.find(name);
  if (found == controls_.end()) throw std::logic_error("no control named " + std::string(name));
  return found->second;
}

const MemoryToolkit::ControlState& MemoryToolkit::control(std::string_view name) const {
  return const_cast<MemoryToolkit*>(this)->find(name);
}

Text MemoryToolkit::text(std::string_view control) { return find(control).text; }
void MemoryToolkit::setText(std::string_view control, std::string_view text) { find(control).text = text; }
bool MemoryToolkit::disabled(std::string_view control) { return find(control).disabled; }
void MemoryToolkit::setDisabled(std::string_view control, bool disabled) { find(control).disabled = disabled; }
bool MemoryToolkit::visible(std::string_view control) { return find(control).visible; }
void MemoryToolkit::setVisible(std::string_view control, bool visible) { find(control).visible = visible; }

void MemoryToolkit::setLeft(std::string_view control, int left) {
  find(control).left = std::clamp(left, -kMaxPosition, kMaxPosition);
}
void MemoryToolkit::setTop(std::string_view control, int top) {
  find(control).top = std::clamp(top, -kMaxPosition, kMaxPosition);
}
void MemoryToolkit::setWindowWidth(int width) { windowWidth_ = std::clamp(width, 0, kMaxSize); }
void MemoryToolkit::setWindowHeight(int height) { windowHeight_ = std::clamp(height, 0, kMaxSize); }

int MemoryToolkit::timerPeriod(std::string_view timer) { return find(timer).period; }
void MemoryToolkit::setTimerPeriod(std::string_view timer, int milliseconds) {
  find(timer).period = std::max(milliseconds, 0);
}

int MemoryToolkit::messageBox(std::string_view text, unsigned flags, std::optional<std::string_view> title) {
  if (!(flags & kMessageBoxSystemModal)) flags |= kMessageBoxTaskModal;
  messageBoxes_.push_back({Text(text), flags, Text(title.value_or(kDefaultMessageBoxTitle))});
  return 1;  // IDOK
}

void MemoryToolkit::addExitRoutine(ExitRoutine routine) {
  if (std::find(exitList_.begin(), exitList_.end(), routine) == exitList_.end()) exitList_.push_back(routine);
}

void MemoryToolkit::loadMainWindow() {
  if (failWindowCreation_) fatalRuntimeError("the main window could not be created");
  controls_.clear();
  for (const ControlSpec& design : kControls)
    controls_.emplace(std::string(design.name), ControlState{&design, Text(design.text), design.visible,
                                                             design.disabled, design.left, design.top, 0});
  const Point start = centredStartPosition(screenWidth_, screenHeight_);
  windowLeft_ = start.x;
  windowTop_ = start.y;
  windowWidth_ = kMainWindow.designedWidth;
  windowHeight_ = kMainWindow.designedHeight;
  windowExists_ = true;
  sink_.onEvent(kMainWindow.created);
  windowShown_ = true;
}

void MemoryToolkit::runEventLoop() {
  eventLoopEntered_ = true;
  if (!windowExists_) return;
  if (operatorActions) operatorActions(*this);
  if (windowExists_) closeWindow();
}

void MemoryToolkit::closeWindow() {
  windowExists_ = false;
  windowShown_ = false;
  for (auto& [name, state] : controls_) state.period = 0;  // timers die with their window
}

void MemoryToolkit::fatalRuntimeError(std::string_view message) {
  messageBoxes_.push_back({Text(message), kMessageBoxIconError | kMessageBoxTaskModal, "Quorvin"});
  exitList_.clear();  // emptied without being run
  throw FatalRuntimeError(std::string(message));
}

int MemoryToolkit::run(const std::function<int()>& startupRoutine) {
  try {
    startupRoutine();
  } catch (const FatalRuntimeError&) {
    return -1;
  }
  const std::vector<ExitRoutine> routines = std::move(exitList_);
  exitList_.clear();
  for (ExitRoutine routine : routines) routine();
  return 0;  // the code of the quit request
}

bool MemoryToolkit::shownOnScreen(std::string_view name) const {
  const ControlState* state = &control(name);
  while (true) {
    if (!state->visible) return false;
    if (state->design->container.empty()) return windowExists_;
    state = &control(state->design->container);
  }
}

void MemoryToolkit::click(std::string_view control) {
  const ControlState& state = find(control);
  if (state.disabled || !shownOnScreen(control) || state.design->event == Handler::none) return;
  sink_.onEvent(state.design->event);
}

void MemoryToolkit::tick() {
  for (auto& [name, state] : controls_)
    if (state.design->kind == ControlKind::timer && state.period > 0 && windowExists_)
      sink_.onEvent(state.design->event);
}

void MemoryToolkit::type(std::string_view control, std::string_view text) {
  ControlState& state = find(control);
  if (state.design->kind != ControlKind::editBox || state.disabled || !shownOnScreen(control))
    throw std::logic_error("cannot type into " + std::string(control));
  state.text = text;
}

}  // namespace quorvin
