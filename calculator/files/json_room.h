// JSON objects and arrays made with room for their elements. The library's
// ordered objects and its arrays grow one element at a time, each growth
// moving every element before it; the result the web page asks for on every
// keystroke is built into room made beforehand instead.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>

namespace capacimo {

inline nlohmann::ordered_json objectWithRoom(std::size_t elements) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    object.get_ref<nlohmann::ordered_json::object_t&>().reserve(elements);
    return object;
}

inline nlohmann::ordered_json arrayWithRoom(std::size_t elements) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    array.get_ref<nlohmann::ordered_json::array_t&>().reserve(elements);
    return array;
}

}  // namespace capacimo
