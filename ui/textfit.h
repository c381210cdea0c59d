#pragma once

class QWidget;

// Shrinks a one-line label's or button's font until its caption fits the width the
// layout gives it: the layout was drawn for a narrower face than this platform's,
// and a clipped caption ("Escribir Colo", "1677721") says nothing.
void fitCaptionToWidth(QWidget *widget);
