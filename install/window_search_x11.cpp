// The search for a top-level window by its whole title, on X11 through XCB (each request's error
// comes back as a value, so a window that disappears during the search costs nothing).
//
// The top-level windows are the children of every screen's root window. A reparenting window
// manager puts each application window into a frame of its own, one or two levels below the
// frame, so the search looks at three levels under the root: the frames and whatever they hold.
// A window's title is its _NET_WM_NAME (UTF-8) when it has one, else its WM_NAME.
#include "install/window_search_x11.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include <xcb/xcb.h>

namespace {

constexpr int kLevels = 3;
// Titles are compared whole; this many bytes are enough to tell a longer one.
constexpr std::uint32_t kTitleWords = 128;

struct ConnectionClose {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionClose>;

// XCB hands out replies and errors allocated with malloc.
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t Atom(xcb_connection_t* connection, std::string_view name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(name.size()), name.data());
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

struct NameRequest {
    xcb_get_property_cookie_t utf8;
    xcb_get_property_cookie_t legacy;
    bool hasUtf8 = false;
};

// The property's value, or nothing when the window does not have it (or is gone).
std::unique_ptr<std::string> PropertyText(xcb_connection_t* connection,
                                          xcb_get_property_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, &error));
    std::free(error);
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8) {
        return nullptr;
    }
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
    auto text = std::make_unique<std::string>(bytes, length);
    if (reply->bytes_after > 0) {
        // Longer than anything compared with: mark it so that it never matches.
        text->push_back('\0');
    }
    return text;
}

} // namespace

WindowSearchResult FindTopLevelWindowOnDisplay(const char* displayName, std::string_view title) {
    const Connection connection(xcb_connect(displayName, nullptr));
    xcb_connection_t* c = connection.get();
    if (xcb_connection_has_error(c) != 0) {
        const char* shown = displayName != nullptr ? displayName : std::getenv("DISPLAY");
        return {WindowSearch::Unavailable,
                std::string("cannot reach the X11 display ") +
                    (shown != nullptr && shown[0] != '\0' ? shown : "(DISPLAY is not set)")};
    }
    const xcb_atom_t netWmName = Atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8String = Atom(c, "UTF8_STRING");

    std::vector<xcb_window_t> level;
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(c)); screens.rem > 0;
         xcb_screen_next(&screens)) {
        level.push_back(screens.data->root);
    }
    for (int depth = 0; depth < kLevels && !level.empty(); ++depth) {
        // Every request of a level goes out before the first reply is awaited.
        std::vector<xcb_query_tree_cookie_t> trees;
        for (const xcb_window_t window : level) {
            trees.push_back(xcb_query_tree(c, window));
        }
        std::vector<xcb_window_t> children;
        for (const xcb_query_tree_cookie_t cookie : trees) {
            xcb_generic_error_t* error = nullptr;
            const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, cookie, &error));
            std::free(error); // a window gone since it was listed
            if (tree) {
                const xcb_window_t* first = xcb_query_tree_children(tree.get());
                children.insert(children.end(), first,
                                first + xcb_query_tree_children_length(tree.get()));
            }
        }
        std::vector<NameRequest> names;
        for (const xcb_window_t window : children) {
            NameRequest request{};
            request.hasUtf8 = netWmName != XCB_ATOM_NONE && utf8String != XCB_ATOM_NONE;
            if (request.hasUtf8) {
                request.utf8 =
                    xcb_get_property(c, 0, window, netWmName, utf8String, 0, kTitleWords);
            }
            request.legacy = xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME,
                                              XCB_GET_PROPERTY_TYPE_ANY, 0, kTitleWords);
            names.push_back(request);
        }
        bool found = false;
        for (const NameRequest& request : names) {
            // Every reply is collected, also after a match, so none is left pending.
            std::unique_ptr<std::string> name =
                request.hasUtf8 ? PropertyText(c, request.utf8) : nullptr;
            std::unique_ptr<std::string> legacy = PropertyText(c, request.legacy);
            if (!name) {
                name = std::move(legacy);
            }
            found = found || (name && *name == title);
        }
        if (xcb_connection_has_error(c) != 0) {
            return {WindowSearch::Unavailable, "the X11 connection failed during the search"};
        }
        if (found) {
            return {WindowSearch::Found, {}};
        }
        level = std::move(children);
    }
    return {WindowSearch::NotFound, {}};
}

WindowSearchResult FindTopLevelWindow(std::string_view title) {
    return FindTopLevelWindowOnDisplay(nullptr, title);
}
