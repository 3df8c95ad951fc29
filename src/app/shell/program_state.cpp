#include "app/shell/program_state.h"

#include "util/error.h"

namespace orv::app {

Reference& ProgramState::Ref() {
    if (!ref)
        throw Error("Справочник не открыт");
    return *ref;
}

const std::string& ProgramState::NameColumn() {
    return Ref().NameColumn();
}

}  // namespace orv::app
