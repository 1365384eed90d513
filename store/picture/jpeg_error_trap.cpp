#include "store/picture/jpeg_error_trap.h"

namespace velmora {
namespace {

[[noreturn]] void leaveOnError(j_common_ptr cinfo) {
    auto* trap = reinterpret_cast<JpegErrorTrap*>(cinfo->err);
    trap->code = cinfo->err->msg_code;
    std::longjmp(trap->jump, 1);
}

void discardMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* installErrorTrap(JpegErrorTrap& trap) {
    jpeg_std_error(&trap.manager);
    trap.manager.error_exit = leaveOnError;
    trap.manager.output_message = discardMessage;
    trap.code = 0;
    return &trap.manager;
}

}  // namespace velmora
