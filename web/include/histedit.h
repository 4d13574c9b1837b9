// The web build has no line editor (src/repl/terminal_editor_web.cpp opens
// none); the editor's header is only needed for the names of its types.
#pragma once

typedef struct editline EditLine;
typedef struct history History;
