#include "framework/routing.h"

const Route* FindRoute(const RouteTable& routes, RouteKind kind, UINT code, UINT id)
{
    for (const Route& route : routes) {
        if (route.kind != kind)
            continue;
        switch (kind) {
        case RouteKind::Message:
            if (route.code == code)
                return &route;
            break;
        case RouteKind::Notify:
            if (route.code == code && route.id == id)
                return &route;
            break;
        case RouteKind::Command:
        case RouteKind::Update:
            if (route.id == id)
                return &route;
            break;
        }
    }
    return nullptr;
}
