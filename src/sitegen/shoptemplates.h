#pragma once

#include <QString>

namespace quorvane {

// The fixed texts of a generated shop site. Each text is its lines joined by
// CR LF with a final CR LF; «NAME» marks where a value of the shop goes.
namespace shoptemplates {

enum class Page {
    Frameset,        // f_«SITE».htm
    Menu,            // m_«SITE».htm
    List,            // l_«SITE».htm
    Basket,          // b_«SITE».htm
    PaymentForm,     // form_«SITE».htm, order mode "online"
    EmailForm,       // form_«SITE».htm, order mode "phone"
    ItemScriptHead,  // 1_«SITE».js up to the item array declaration
    ItemScriptTail,  // 1_«SITE».js after the item lines
    BasketScript,    // 2_«SITE».js
    OrderScript,     // 3_«SITE».js
};

const QString &text(Page page);

// One line of the item array, without its line end: «I», «ID», «DESC», «PRICE», «PIC», «URL».
const QString &itemLine();

// The card profile's default form-action text, six lines each ended by CR LF,
// with «GATEWAY HOST» and «LOGIN» left in.
const QString &formAction();

}  // namespace shoptemplates
}  // namespace quorvane
