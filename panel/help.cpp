#include "panel/help.h"

namespace tillora {

std::string help_text() {
    const std::string br = "\r\n";
    std::string t = br + std::string(26, ' ') +
                    "<< Touch or Click Here at any time to clear this help screen. >>" + br + br;
    t += "A valid employee ID and PIN are required to access this module. The bright yellow box "
         "indicates which box is active. Type the required information and press the Enter/Ok "
         "button. After both have been entered, select the Log In button to continue." +
         br + br;
    t += "'FROM DATE' and 'TO DATE' default to the current date. To change either, touch/click "
         "on the date box to change, use the keypad to enter the new date in MMDD or YYYYMMDD "
         "format and select Enter/Ok." +
         br + br;
    t += "'FROM HOUR, TO HOUR, FROM MINUTE and TO MINUTE' default to include the entire day. "
         "Change one or more as necessary to filter your report by a specific time of day. ";
    t += "You may elect one of the shortcut time selectors if they are more convenient "
         "(6am-Noon, Noon-6pm, 6pm-midnight). Reminder: Time entries use 24-hour military time "
         "only. Ex: 1:00 pm is hour 13. " +
         br + br;
    t += "Note that some reports may include the entire date irrespective of the time chosen." +
         br + br;
    t += "Manager data exports are not time sensive and always include the entire day.";
    return t;
}

void cmdhelp_click(Station& s) {
    s.form.lblhelp.text = help_text();
    // The window places the frame over the entry area (at txtempid's top-left corner).
    s.form.frahelp.visible = true;
}

void frahelp_click(Station& s) {
    s.form.frahelp.visible = false;
}

}  // namespace tillora
