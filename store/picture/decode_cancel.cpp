#include "store/picture/decode_cancel.h"

namespace velmora {

namespace {
thread_local const std::atomic<bool>* lentFlag = nullptr;
}  // namespace

DecodeCancelScope::DecodeCancelScope(const std::atomic<bool>& flag) : outer_(lentFlag) {
    lentFlag = &flag;
}

DecodeCancelScope::~DecodeCancelScope() {
    lentFlag = outer_;
}

const std::atomic<bool>* decodeCancelFlag() {
    return lentFlag;
}

}  // namespace velmora
