// The notifier: shows the message boxes of common/messages.h, each when its
// row's gate lets it through. Boxes have no owner window, an OK button and no
// icon; the game waits until the user closes them.
#pragma once

#include <exception>
#include <string_view>

#include "common/messages.h"
#include "host/boundary/rundata.h"

namespace trivu {

bool shouldShow(const RUNDATA& rd, Gate gate);

// The box of `id`. For a row whose text is an error's message, `error` is
// that message; other rows ignore it.
void notify(const RUNDATA& rd, MessageId id, std::string_view error = {});

// The wide box of a path row: its text, `path`, then its closing part.
void notifyPath(const RUNDATA& rd, MessageId id, std::u16string_view path);

// A usable object: not null, an Active object, not destroyed. For an object
// that is there but unusable, shows the forced "not the sprite" box.
headerObject* usableSprite(RUNDATA& rd, headerObject* object);

// A failed JSON Pointer lookup: the "DEBUG" box (lenient), then condition
// CND_JSON_POINTER_ERROR.
void reportJsonPointerError(RUNDATA& rd, const std::exception& error);

// A regular-expression error: the "INFO" box (forced). The caller keeps the
// message and raises its condition.
void showRegexError(const RUNDATA& rd, const std::exception& error);

}  // namespace trivu
