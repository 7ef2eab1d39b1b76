#pragma once

#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>

#include <atomic>

namespace quarvel {

// The interaction handler of a document load: the office is headless and
// nobody can answer it, so every question is aborted. What was asked is
// kept, so that a password-protected file can be named as such instead of
// failing with the office's general load error.
class UnoInteraction : public cppu::WeakImplHelper1<com::sun::star::task::XInteractionHandler> {
public:
    void SAL_CALL
    handle(const com::sun::star::uno::Reference<com::sun::star::task::XInteractionRequest> &request) override;

    bool passwordAsked() const { return passwordAsked_; }

private:
    // The office calls back on a thread of the UNO bridge.
    std::atomic<bool> passwordAsked_{false};
};

} // namespace quarvel
