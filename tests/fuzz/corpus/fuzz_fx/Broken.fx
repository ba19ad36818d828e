float a = 1
float b;
/* open
