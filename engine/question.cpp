#include "engine/question.h"

#include <filesystem>
#include <system_error>

namespace tillora {

bool ask_yes_no(Station& s) {
    s.st.style = Value(292);
    const Answer a = s.svc.ui.message_box(s.st.msg, s.st.title.as_text(), Icon::Question,
                                          Buttons::YesNo, /*default_no=*/true);
    s.st.response = Value(static_cast<int>(a));
    return a == Answer::Yes;
}

void return_to_program_folder(Station& s) {
    std::error_code ec;
    std::filesystem::current_path(s.svc.home, ec);
}

}  // namespace tillora
