// Grid refresh, stored point settings and connection supervision live here.
