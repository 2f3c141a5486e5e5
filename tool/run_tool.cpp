#include <algorithm>
#include <string_view>

#include "tool/tool.h"

namespace kestrix {

char ClassNameBuffer[ClassNameBufferSize];

void RunTool() {
    auto* const foreground = platform::GetForegroundWindow();
    platform::GetClassNameA(foreground, ClassNameBuffer, ClassNameLimit);

    // Bounded scan: the buffer may hold no NUL at all if the read misbehaved.
    const char* end = std::find(ClassNameBuffer, ClassNameBuffer + ClassNameBufferSize, '\0');
    const std::string_view className(ClassNameBuffer,
                                     static_cast<std::size_t>(end - ClassNameBuffer));

    if (className == TargetClassName) {
        ReleaseHeldModifiers();
        SendMenuSequence();
    } else {
        platform::MessageBoxA(foreground, NoticeText, NoticeCaption, NoticeStyle);
    }
}

}  // namespace kestrix
