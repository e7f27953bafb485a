// The checked 1-based index of TextArray.
#include "util/text_types.h"

#include "util/runtime_services.h"

namespace lumeno {

std::size_t TextArray::CheckedOffset(int index) const {
    if (index < 1) FatalRuntimeError(4, "数组成员引用下标必须大于等于1");
    if (index > Count()) FatalRuntimeError(1, "数组成员引用下标超出定义范围");
    return static_cast<std::size_t>(index - 1);
}

}  // namespace lumeno
