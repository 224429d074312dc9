#include "framework/Resources.h"
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace resources {
namespace {

// Icon 128, a microplate: the same drawing as veltrix-instrument-settings.svg beside this file,
// which the desktop's icon theme gets on installation.
constexpr const char* kMicroplateSvg = R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 128 128">
  <title>Microplate</title>
  <defs>
    <linearGradient id="body" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#eef3f8"/>
      <stop offset="1" stop-color="#cfdbe6"/>
    </linearGradient>
  </defs>
  <path d="M24 20 H112 Q122 20 122 30 V98 Q122 108 112 108 H16 Q6 108 6 98 V38 Z"
        fill="#8fa3b5" opacity="0.35" transform="translate(2 3)"/>
  <path d="M24 20 H112 Q122 20 122 30 V98 Q122 108 112 108 H16 Q6 108 6 98 V38 Z"
        fill="url(#body)" stroke="#3d5366" stroke-width="3" stroke-linejoin="round"/>
  <g stroke="#6f8496" stroke-width="1.6" fill="#ffffff">
    <circle cx="24" cy="40" r="6.5"/><circle cx="40" cy="40" r="6.5"/>
    <circle cx="56" cy="40" r="6.5"/><circle cx="72" cy="40" r="6.5"/>
    <circle cx="88" cy="40" r="6.5"/><circle cx="104" cy="40" r="6.5"/>
    <circle cx="24" cy="56" r="6.5" fill="#fbe7a1"/><circle cx="40" cy="56" r="6.5" fill="#f7d25c"/>
    <circle cx="56" cy="56" r="6.5" fill="#f2b233"/><circle cx="72" cy="56" r="6.5" fill="#e8862a"/>
    <circle cx="88" cy="56" r="6.5"/><circle cx="104" cy="56" r="6.5"/>
    <circle cx="24" cy="72" r="6.5"/><circle cx="40" cy="72" r="6.5"/>
    <circle cx="56" cy="72" r="6.5" fill="#9fd8b4"/><circle cx="72" cy="72" r="6.5" fill="#4fb77c"/>
    <circle cx="88" cy="72" r="6.5" fill="#2e8f5a"/><circle cx="104" cy="72" r="6.5"/>
    <circle cx="24" cy="88" r="6.5"/><circle cx="40" cy="88" r="6.5"/>
    <circle cx="56" cy="88" r="6.5"/><circle cx="72" cy="88" r="6.5"/>
    <circle cx="88" cy="88" r="6.5" fill="#7fb0e8"/><circle cx="104" cy="88" r="6.5" fill="#2f6fc4"/>
  </g>
</svg>
)svg";

}  // namespace

void RegisterIcons() {
    framework::RegisterIcon(IDR_MAINFRAME, kMicroplateSvg);
}

}  // namespace resources
