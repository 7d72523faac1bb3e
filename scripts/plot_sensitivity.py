#!/usr/bin/env python3
"""Plots the share of frames decoded against the signal level from tarvo-sensitivity's CSV."""
import csv
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402


def main(csv_path, png_path):
    rows = list(csv.DictReader(open(csv_path, newline="")))
    models = [("audio", "Audio noise: Eb/N0 (dB)"), ("fm", "FM receiver: C/N in the channel (dB)")]
    figure, axes = plt.subplots(1, 2, figsize=(11, 4.2), sharey=True)
    styles = {"exact": "--", "robust": "-"}
    colours = {"McAccess": "tab:blue", "JSMR": "tab:red"}
    for axis, (model, label) in zip(axes, models):
        for decoder in ("McAccess", "JSMR"):
            for demod in ("exact", "robust"):
                points = [(int(r["level_db"]), float(r["share"])) for r in rows
                          if r["model"] == model and r["decoder"] == decoder
                          and r["demodulator"] == demod]
                points.sort()
                axis.plot([p[0] for p in points], [100 * p[1] for p in points], styles[demod],
                          color=colours[decoder], marker=".", label=f"{decoder} {demod}")
        axis.set_xlabel(label)
        axis.set_xlim(-4, 14)
        axis.grid(True, alpha=0.3)
        axis.axhline(90, color="gray", linewidth=0.6)
        axis.axhline(50, color="gray", linewidth=0.6)
    axes[0].set_ylabel("frames decoded exactly (%)")
    axes[0].legend(loc="lower right")
    figure.suptitle("Tarvo: frames decoded from weak signals")
    figure.tight_layout()
    figure.savefig(png_path, dpi=90)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: plot_sensitivity.py RESULTS.csv PLOT.png")
    main(sys.argv[1], sys.argv[2])
