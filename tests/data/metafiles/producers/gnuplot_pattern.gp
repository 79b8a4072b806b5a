set terminal emf color size 160,120
set output 'gnuplot_pattern.emf'
unset key; unset border; unset tics
set lmargin 0; set rmargin 0; set tmargin 0; set bmargin 0
set xrange [0:4]; set yrange [0:10]
set boxwidth 1.6
set style fill pattern 2 border
plot '-' with boxes lc rgb '#ff0000', '-' with lines lc rgb '#0000ff' lw 3
1 8
3 5
e
0 9.5
4 9.5
e
