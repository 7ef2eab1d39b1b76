#include "UnoInteraction.h"

#include <com/sun/star/task/PasswordRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>

namespace quarvel {

namespace css = com::sun::star;
using css::uno::Reference;

void UnoInteraction::handle(const Reference<css::task::XInteractionRequest> &request)
{
    css::task::PasswordRequest password;
    if (request->getRequest() >>= password)
        passwordAsked_ = true;
    const auto continuations = request->getContinuations();
    for (const Reference<css::task::XInteractionContinuation> &c : continuations) {
        const Reference<css::task::XInteractionAbort> abort(c, css::uno::UNO_QUERY);
        if (abort.is()) {
            abort->select();
            return;
        }
    }
}

} // namespace quarvel
